#include "AlertDialog.h"

#include "Colors.h"
#include "MainLoop.h"

#include <velquor/platform/KeyCommands.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace velquor::qt {

using platform::UIAlertActionStyle;

namespace {

// A message box that leaves closing to the model: Escape and the window manager's close go to
// `escape` instead of closing the box themselves (QMessageBox would press an escape button of its
// choosing).
class AlertBox final : public QMessageBox {
 public:
  // `returnKeys` runs when it is hidden holding the keys (it hides itself when a button is clicked).
  AlertBox(QWidget* parent, std::function<void()> escape, std::function<void()> returnKeys)
      : QMessageBox(parent), cancel_(std::move(escape)), returnKeys_(std::move(returnKeys)) {}

  void setVisible(bool visible) override {
    // Before it goes: once its window is unmapped, the X server takes the focus itself, and a later
    // request for it, stamped with an earlier time, is ignored.
    if (!visible && isVisible() && isActiveWindow()) returnKeys_();
    QMessageBox::setVisible(visible);
  }

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape) {
      event->accept();
      cancel_();
      return;
    }
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    cancel_();
  }

 private:
  std::function<void()> cancel_;
  std::function<void()> returnKeys_;
};

}  // namespace

AlertDialog::AlertDialog(const std::shared_ptr<platform::UIAlertController>& alert, QWidget* parent,
                         std::function<void()> didPresent)
    : alert_(alert), actions_(alert->actions()), parent_(parent), focusBefore_(parent->window()->focusWidget()) {
  auto* box = new AlertBox(
      parent, [this] { platform::escapeKeyCommand(alert_.lock()); },
      [this] {
        // The window under it gets the keys back (a window manager would; without one Qt has to
        // ask), on the widget that had them.
        if (parent_) parent_->window()->activateWindow();
        if (focusBefore_) focusBefore_->setFocus(Qt::ActiveWindowFocusReason);
      });
  box_ = box;
  box->setObjectName(kAlertName);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::NoIcon);
  const auto& title = alert->title();
  const auto& message = alert->message();
  // The first text is the box's headline; with a title and a message the message goes under it.
  box->setText(QString::fromStdString(title ? *title : message.value_or("")));
  if (title && message) box->setInformativeText(QString::fromStdString(*message));
  if (title) box->setWindowTitle(QString::fromStdString(*title));
  // An assistive technology reads an alert's title as its name and its message as its description.
  if (title) box->setAccessibleName(QString::fromStdString(*title));
  if (message) box->setAccessibleDescription(QString::fromStdString(*message));

  QPushButton* first = nullptr;
  for (std::size_t index = 0; index < actions_.size(); ++index) {
    const auto& action = actions_[index];
    // One role for all: the box keeps them in the order added.
    QPushButton* button = box->addButton(QString::fromStdString(action->title().value_or("")), QMessageBox::ActionRole);
    if (action->style() == UIAlertActionStyle::Destructive) {
      setPaletteColor(button, QPalette::ButtonText, platform::UIColor::systemRedColor());
    }
    button->setEnabled(action->isEnabled());
    // QMessageBox hides itself after a click; the model then dismisses the alert, which deletes it.
    QObject::connect(button, &QPushButton::clicked, [this, index] { tap(index); });
    if (!first) first = button;
  }
  if (first) box->setDefaultButton(first);
  box->show();
  // Without a window manager nothing gives the new window the keys.
  box->activateWindow();
  if (first) first->setFocus(Qt::ActiveWindowFocusReason);
  postToMainLoop(std::move(didPresent));
}

AlertDialog::~AlertDialog() {
  // Null when Qt deleted it already, along with its window.
  delete box_;
}

QWidget* AlertDialog::widget() const { return box_; }

void AlertDialog::tap(std::size_t index) {
  auto alert = alert_.lock();
  if (!alert || index >= actions_.size()) return;
  // Closing goes through the model: it dismisses the alert (and so this box), then runs the handler.
  auto action = actions_[index];
  alert->tapAction(action);
}

}  // namespace velquor::qt
