#include "AlertDialog.h"

#include "Colors.h"
#include "MainLoop.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace velquor::qt {

using platform::UIAlertActionStyle;

namespace {

// A message box that leaves closing to the model: Escape and the window manager's close ask for
// the cancel-style action instead of closing the box themselves.
class AlertBox final : public QMessageBox {
 public:
  AlertBox(QWidget* parent, std::function<void()> cancel) : QMessageBox(parent), cancel_(std::move(cancel)) {}

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
};

}  // namespace

AlertDialog::AlertDialog(const std::shared_ptr<platform::UIAlertController>& alert, QWidget* parent,
                         std::function<void()> didPresent)
    : alert_(alert), actions_(alert->actions()) {
  auto* box = new AlertBox(parent, [this] { tapCancel(); });
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
  }
  box->show();
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

void AlertDialog::tapCancel() {
  for (std::size_t index = 0; index < actions_.size(); ++index) {
    if (actions_[index]->style() == UIAlertActionStyle::Cancel) {
      tap(index);
      return;
    }
  }
}

}  // namespace velquor::qt
