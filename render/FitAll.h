// How far the eye must stand from a point it looks at for every body to be in view.
#pragma once

// The eye distance along the camera's present k from target at which every drawn body, its
// whole disc, lies within nine tenths of the render buffer; 0 when there are no bodies.
double EyeDistanceShowingAll(const double target[3]);
// The point the present camera mode looks at, the bound body or the origin.
void CameraLookTarget(double target[3]);
