// How a window gets its interaction port: the desktop program gives each
// window message boxes and pick windows over it; tests give a script.
#pragma once

#include "platform/interaction.h"

#include <functional>
#include <memory>

class QWidget;

namespace tavir::ui {

using InteractionFactory = std::function<std::unique_ptr<platform::Interaction>(QWidget* window)>;

}  // namespace tavir::ui
