#include "AlertDialog.h"

#include "MainLoop.h"

namespace velquor::gtk {

using platform::UIAlertActionStyle;

AlertDialog::AlertDialog(const std::shared_ptr<platform::UIAlertController>& alert, GtkWindow* parent,
                         std::function<void()> didPresent)
    : alert_(alert), actions_(alert->actions()), parent_(GObjectRef<GtkWindow>::retain(parent)),
      didPresent_(std::move(didPresent)) {
  const auto& title = alert->title();
  const auto& message = alert->message();
  // The first text is the dialog's headline; with a title and a message the message goes under it.
  const std::string primary = title ? *title : message.value_or("");
  auto* dialog = gtk_message_dialog_new(parent, static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
                                        GTK_MESSAGE_OTHER, GTK_BUTTONS_NONE, "%s", primary.c_str());
  if (title && message) gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", message->c_str());
  dialog_ = GObjectRef<GtkWidget>::retain(dialog);
  gtk_widget_add_css_class(dialog, "velquor-alert");

  for (std::size_t index = 0; index < actions_.size(); ++index) {
    const auto& action = actions_[index];
    GtkWidget* button = gtk_dialog_add_button(GTK_DIALOG(dialog), action->title().value_or("").c_str(),
                                              static_cast<int>(index));
    if (action->style() == UIAlertActionStyle::Destructive) gtk_widget_add_css_class(button, "destructive-action");
    gtk_widget_set_sensitive(button, action->isEnabled());
  }

  g_signal_connect(dialog, "response", G_CALLBACK(response), this);
  g_signal_connect(dialog, "close-request", G_CALLBACK(closeRequest), this);
  g_signal_connect(dialog, "map", G_CALLBACK(mapped), this);
  gtk_window_present(GTK_WINDOW(dialog));
}

AlertDialog::~AlertDialog() {
  g_signal_handlers_disconnect_by_data(dialog_.get(), this);
  // Does nothing for a dialog GTK destroyed already along with its window.
  gtk_window_destroy(GTK_WINDOW(dialog_.get()));
}

void AlertDialog::tap(std::size_t index) {
  auto alert = alert_.lock();
  if (!alert || index >= actions_.size()) return;
  // Closing goes through the model: it dismisses the alert (and so this dialog), then runs the handler.
  auto action = actions_[index];
  alert->tapAction(action);
}

void AlertDialog::response(GtkDialog*, int responseId, gpointer self) {
  if (responseId < 0) return;
  static_cast<AlertDialog*>(self)->tap(static_cast<std::size_t>(responseId));
}

gboolean AlertDialog::closeRequest(GtkWindow*, gpointer data) {
  auto* self = static_cast<AlertDialog*>(data);
  for (std::size_t index = 0; index < self->actions_.size(); ++index) {
    if (self->actions_[index]->style() == UIAlertActionStyle::Cancel) {
      self->tap(index);
      break;
    }
  }
  return TRUE;  // the dialog goes when the model dismisses the alert
}

void AlertDialog::mapped(GtkWidget*, gpointer data) {
  auto* self = static_cast<AlertDialog*>(data);
  if (auto didPresent = std::exchange(self->didPresent_, nullptr)) postToMainLoop(std::move(didPresent));
}

}  // namespace velquor::gtk
