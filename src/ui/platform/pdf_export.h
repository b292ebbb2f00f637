// PDF output for programs without windows, such as tavir-cli: create the
// application with ensureGuiApplication, then write with renderToPdf.
#pragma once

#include "ui/platform/page_renderer.h"

#include <QGuiApplication>

#include <memory>

namespace tavir::ui {

// Fonts, and with them PDF output, need a QGuiApplication. When no Qt
// application exists yet, this creates one on the "offscreen" platform, so
// it works without a display, and hands it to the caller, who keeps it until
// the output is written; `argc` and `argv` must live as long. When one
// already exists it returns none and that one is used.
std::unique_ptr<QGuiApplication> ensureGuiApplication(int& argc, char** argv);

}  // namespace tavir::ui
