// The two built-in wireframe models: the flickering cube and the spiked cube.
//
// Called by the timeline's scenes after they have set up `currentMatrix`. Each call only
// queues primitives (see primitives.h); the lines appear when the frame is presented.
#pragma once

// Six open quads, one per face of the cube -1..1, each in a colour drawn from nextRandom.
void drawCube();

// Twenty-four closed triangles: a square pyramid of height 2 on every face of the cube
// -1..1, all in the caller's penColor (which is left unchanged).
void drawSpikedCube();
