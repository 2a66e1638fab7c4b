#include "MainLoop.h"

#include <glib.h>

#include <memory>

namespace velquor::gtk {

namespace {

using Task = std::function<void()>;

gboolean runTask(gpointer data) {
  auto& task = *static_cast<Task*>(data);
  if (task) task();
  return G_SOURCE_REMOVE;
}

void deleteTask(gpointer data) { delete static_cast<Task*>(data); }

}  // namespace

void postToMainLoop(std::function<void()> task) {
  g_idle_add_full(G_PRIORITY_DEFAULT, runTask, new Task(std::move(task)), deleteTask);
}

void postToMainLoopAfter(unsigned milliseconds, std::function<void()> task) {
  g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds, runTask, new Task(std::move(task)), deleteTask);
}

}  // namespace velquor::gtk
