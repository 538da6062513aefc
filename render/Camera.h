// Camera step, viewing set-up and the projection.
#pragma once

void DoCameraWork();
void SetRunTimeViewingVariables();
