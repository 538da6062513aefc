// Placeholder until the imagery lands.
#include "imagery/Stars.h"

Handle NewStarListHandle() { return kNoHandle; }
void DisposeStarListHandle(Handle) {}
void FillWithStars(Handle, int32_t, const void*) {}
Handle GetStarListFromFS(const std::string&) { return kNoHandle; }
void MoveHHiStarListHandle(Handle) {}
void StarListHandleLocking(Handle, int16_t) {}
void DrawStars(const Rect&, const IJK&, Handle, int32_t, int32_t, int32_t) {}
