// The depth-sorted draw stage and the body plotters.
#pragma once
#include <cstdint>

#include "core/Records.h"

void DoDrawStage(int32_t cx, int32_t cy);
void PlotBodyFinish(BodyRTStruct& body, int32_t cx, int32_t cy, double depth, const double* rel, uint32_t labelFlags);
void PlotTrailPointFinish(const TrailPoint& point, int32_t cx, int32_t cy, double depth, const double* rel);
void PlotBody(BodyRTStruct& body, int32_t cx, int32_t cy);
void PlotBody3DFinish(BodyRTStruct& body, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset, double depth,
                      const double* rel, uint32_t labelFlags);
void PlotTrailPoint3DFinish(const TrailPoint& point, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset,
                            double depth, const double* rel);
// Where each eye sees a point at rel (eye-relative, depth < 0) in red-cyan stereo: the red and
// cyan eyes' x on the screen (both share the y of the mono view).
void StereoEyeXs(const double* rel, double depth, int32_t cx, int32_t cy, int32_t eyeRadius, double eyeOffset,
                 int32_t& redX, int32_t& cyanX);
