#pragma once

#include <velquor/qt/QtToolkit.h>

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace qt_test {

using namespace std::chrono_literals;

// Long enough for a cold renderer on a loaded machine, short enough to fail a hung test.
inline constexpr std::chrono::milliseconds kPatience = 30s;

// The one application of the test process, made on first use and kept to the end: Qt WebEngine
// cannot start a second time in one process.
inline QApplication& application() {
  static QApplication* app = [] {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    auto* made = new QApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return made;
  }();
  return *app;
}

// Turns the event loop until `condition` holds or `timeout` passes; false on timeout.
inline bool spinUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = kPatience) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  bool held = condition();
  while (!held && std::chrono::steady_clock::now() < deadline) {
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
    held = condition();
  }
  return held;
}

// Turns the event loop for `duration`, whatever happens.
inline void spinFor(std::chrono::milliseconds duration) {
  spinUntil([] { return false; }, duration);
}

// The value of a script in the page's own world, as JSON text (none on an error or timeout): the
// script's value goes through the page's JSON.stringify.
inline std::optional<std::string> evaluateJSON(QWebEnginePage* page, const std::string& script) {
  struct Result {
    bool done = false;
    std::optional<std::string> json;
  };
  auto result = std::make_shared<Result>();
  page->runJavaScript(QString::fromStdString("JSON.stringify((() => " + script + ")())"), QWebEngineScript::MainWorld,
                      [result](const QVariant& value) {
                        if (value.typeId() == QMetaType::QString) result->json = value.toString().toStdString();
                        result->done = true;
                      });
  if (!spinUntil([&] { return result->done; })) return std::nullopt;
  return result->json;
}

// Runs a script in the page's own world, its value unused.
inline void runScript(QWebEnginePage* page, const std::string& script) {
  page->runJavaScript(QString::fromStdString(script), QWebEngineScript::MainWorld);
}

// A window with the app's own content, under a fresh toolkit.
class QtWindowTest : public ::testing::Test {
 protected:
  static velquor::qt::QtToolkitOptions testOptions() {
    velquor::qt::QtToolkitOptions options;
    options.transitionDuration = 100ms;
    return options;
  }

  void SetUp() override {
    application();
    window = new QWidget();
    window->resize(480, 640);
    auto* layout = new QVBoxLayout(window);
    appContent = new QLabel("The app's own content");
    layout->addWidget(appContent);
    window->show();
    ASSERT_TRUE(spinUntil([&] { return window->isVisible() && window->windowHandle() && window->windowHandle()->isExposed(); }));
  }

  void TearDown() override {
    screen.reset();
    toolkit.reset();
    delete window;
    spinFor(50ms);
  }

  velquor::qt::QtToolkit& makeToolkit(velquor::qt::QtToolkitOptions options = testOptions()) {
    toolkit.reset();
    toolkit.emplace(std::move(options));
    screen = toolkit->rootViewControllerForWindow(window);
    // The suite again with every toolkit prewarmed (ctest's "prewarmed" label): the first web view of
    // each test takes the spare page, and must behave as a cold one does.
    if (std::getenv("VELQUOR_QT_TEST_PREWARM")) {
      auto ready = std::make_shared<bool>(false);
      toolkit->prewarm([ready] { *ready = true; });
      EXPECT_TRUE(spinUntil([&] { return *ready; })) << "the spare page never loaded";
    }
    return *toolkit;
  }

  QWidget* window = nullptr;
  QLabel* appContent = nullptr;
  std::optional<velquor::qt::QtToolkit> toolkit;
  std::shared_ptr<velquor::platform::UIViewController> screen;
};

}  // namespace qt_test
