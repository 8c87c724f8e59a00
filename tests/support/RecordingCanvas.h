// A canvas device that writes down every operation it is asked for, one line each, in
// device pixels: "line 10 20 30 40", "fillRectangle 0 0 5 5", "text 3 12 Hello". Tests
// compare drawings through it, on any device's terms.
#ifndef VANTOR_TEST_RECORDING_CANVAS_H
#define VANTOR_TEST_RECORDING_CANVAS_H

#include <string>
#include <vector>

#include "toolkit/Canvas.h"

// The canvas appends to *log until it is destroyed with XomCanvasDestroy.
XomCanvas CreateRecordingCanvas(int width, int height, std::vector<std::string>* log);

// The lines of log that start with one of the given operation names.
std::vector<std::string> Only(const std::vector<std::string>& log,
                              const std::vector<std::string>& operations);

// A small drawing that uses offset, colours, a clip, shapes and text: what every device
// must reproduce (the recording of it is checked in CanvasTest).
void DrawSampleScene(XomCanvas canvas);

#endif
