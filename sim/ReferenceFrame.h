// The inertial frame the run is drawn and recorded in: the centre of mass of the live
// bodies at rest at the origin.
#pragma once

void RealignInertialReferenceFrame();
