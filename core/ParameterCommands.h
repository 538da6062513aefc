// The menu commands that edit single settings through sheets and dialogs.
#pragma once
#include <string>

void EditGravitationalConstantMenuItem();
void EditPowerLawMenuItem();
void EditStarInclinationMenuItem();
void EditTimeStepMenuItem();
void EditPushesPerFrameMenuItem();
void EditViewAngleMenuItem();
void EditEyeRadiusMenuItem();
void EditMinimumPointSizeMenuItem();
void EditAutoRotationMenuItem();
void EditTrailLengthMenuItem();
// File 4: choose a star data file and replace the star list.
void UserGetFileStarData();
// Replaces the star list by the file's stars; a file that cannot be read is refused with an alert.
bool ReplaceStarListFromFile(const std::string& path);
