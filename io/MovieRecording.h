// "Record Movie…" and "Stop Recording": the application's one movie recording.
// Every frame the window shows is handed to the recorder, so the movie runs at
// the simulation's pace, whatever the wall clock does.
#pragma once
#include <cstdint>
#include <string>

// Asks for the size, frame rate and length, then for the file, and starts; stops when recording.
void RecordMovieMenuItem();
// Starts without asking (the dialog's answers); false with a message shown.
bool StartMovieRecording(const std::string& path, int width, int height, int framesPerSecond, double seconds);
// Completes the movie; a failure is shown to the user.
void StopMovieRecording();
// The frame task, after the frame is shown.
void RecordMovieFrame();
bool IsRecordingMovie();
// The size a movie takes for a picture this many pixels wide or high: the next even one
// (the recorder pads an odd picture with one black row or column).
int32_t EvenSize(int32_t pixels);
// "REC 12.3 s" while recording.
std::string RecordingMarkText();
