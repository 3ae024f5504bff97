// Compiled with FMA instructions available (see CMakeLists.txt), so that a build
// which lets the compiler contract a * b + c into one fused operation shows here.
float probeMulAdd(float a, float b, float c) { return a * b + c; }
