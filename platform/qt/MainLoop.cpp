#include "MainLoop.h"

#include <QCoreApplication>
#include <QTimer>

namespace velquor::qt {

void postToMainLoop(std::function<void()> task) { postToMainLoopAfter(0, std::move(task)); }

void postToMainLoopAfter(int milliseconds, std::function<void()> task) {
  // The application as context: a task still pending when it goes is dropped, not run.
  QTimer::singleShot(milliseconds, QCoreApplication::instance(), [task = std::move(task)] {
    if (task) task();
  });
}

}  // namespace velquor::qt
