#pragma once
// The sky of the select and result screens: a textured sphere seen from
// inside by the game camera, its texture drifting a little every frame.

class Model;

// The sphere of radius 1000 with 100 slices and stacks, textured with
// "select_sky" on every mesh and material, unlit and with the transform mode
// the screens draw it in. The model keeps the texture.
Model* CreateScreenSky();

// Clears the frame and sets up the game camera the way both screens look at
// their sky: 30 degrees, near 1, far 2000, from (0, 250, 0) toward
// (0, -100, 0), with depth and fog on.
void BeginScreenSkyFrame();

// Moves the texture offset down by 0.002 (wrapping into 0..1) and draws the
// sphere with it.
void DrawScreenSky(Model* sky, float& textureOffset);
