#include "AlertDialog.h"

#include "MainLoop.h"

#include <velquor/platform/KeyCommands.h>

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
  // What gtk_message_dialog_new() makes, as an alert to assistive technologies (GTK 4.8 hands its
  // alert-dialog role to AT-SPI as a plain dialog; the role is set at construction only).
  auto* dialog = GTK_WIDGET(g_object_new(GTK_TYPE_MESSAGE_DIALOG, "accessible-role", GTK_ACCESSIBLE_ROLE_ALERT,
                                         "use-header-bar", FALSE, "message-type", GTK_MESSAGE_OTHER, "buttons",
                                         GTK_BUTTONS_NONE, "text", primary.c_str(), "transient-for", parent, "modal",
                                         TRUE, "destroy-with-parent", TRUE, nullptr));
  if (title && message) gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", message->c_str());
  dialog_ = GObjectRef<GtkWidget>::retain(dialog);
  gtk_widget_add_css_class(dialog, "velquor-alert");
  if (title) gtk_accessible_update_property(GTK_ACCESSIBLE(dialog), GTK_ACCESSIBLE_PROPERTY_LABEL, title->c_str(), -1);
  if (message) {
    gtk_accessible_update_property(GTK_ACCESSIBLE(dialog), GTK_ACCESSIBLE_PROPERTY_DESCRIPTION, message->c_str(), -1);
  }

  GtkWidget* firstEnabled = nullptr;
  for (std::size_t index = 0; index < actions_.size(); ++index) {
    const auto& action = actions_[index];
    GtkWidget* button = gtk_dialog_add_button(GTK_DIALOG(dialog), action->title().value_or("").c_str(),
                                              static_cast<int>(index));
    if (action->style() == UIAlertActionStyle::Destructive) gtk_widget_add_css_class(button, "destructive-action");
    gtk_widget_set_sensitive(button, action->isEnabled());
    // Its mnemonic label names it twice over ("No No") on GTK 4.8: the title alone names it.
    gtk_accessible_reset_relation(GTK_ACCESSIBLE(button), GTK_ACCESSIBLE_RELATION_LABELLED_BY);
    gtk_accessible_update_property(GTK_ACCESSIBLE(button), GTK_ACCESSIBLE_PROPERTY_LABEL,
                                   action->title().value_or("").c_str(), -1);
    if (!firstEnabled && action->isEnabled()) firstEnabled = button;
  }
  // The keyboard starts on the first button (the checkout's "No", the one that changes nothing),
  // and goes back to where it was in the window when the alert has gone.
  if (firstEnabled) gtk_window_set_focus(GTK_WINDOW(dialog), firstEnabled);
  if ((previousFocus_ = gtk_root_get_focus(GTK_ROOT(parent)))) {
    g_object_add_weak_pointer(G_OBJECT(previousFocus_), reinterpret_cast<gpointer*>(&previousFocus_));
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
  if (!previousFocus_) return;
  g_object_remove_weak_pointer(G_OBJECT(previousFocus_), reinterpret_cast<gpointer*>(&previousFocus_));
  GtkWindow* parent = parent_.get();
  if (gtk_widget_get_root(previousFocus_) == GTK_ROOT(parent) && gtk_widget_get_mapped(GTK_WIDGET(parent)) &&
      gtk_widget_get_mapped(previousFocus_)) {
    gtk_widget_grab_focus(previousFocus_);
    // Makes the window the active one again: without a window manager nobody else does.
    gtk_window_present(parent);
  }
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
  // Escape (GtkDialog's close binding) and the window's close button alike.
  platform::escapeKeyCommand(static_cast<AlertDialog*>(data)->alert_.lock());
  return TRUE;  // the dialog goes when the model dismisses the alert
}

void AlertDialog::mapped(GtkWidget* widget, gpointer data) {
  auto* self = static_cast<AlertDialog*>(data);
  // Presenting a window that is up gives it the keyboard focus, as a window manager would on map.
  postToMainLoop([dialog = GObjectRef<GtkWidget>::retain(widget)] {
    if (gtk_widget_get_mapped(dialog.get())) gtk_window_present(GTK_WINDOW(dialog.get()));
  });
  if (auto didPresent = std::exchange(self->didPresent_, nullptr)) postToMainLoop(std::move(didPresent));
}

}  // namespace velquor::gtk
