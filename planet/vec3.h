#pragma once

// A point or direction in single precision: the noise input, the planet's grid
// element, the camera's position and view direction.
struct Vec3 {
    float x;
    float y;
    float z;
};
