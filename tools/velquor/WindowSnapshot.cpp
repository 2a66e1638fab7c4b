#include "WindowSnapshot.h"

#include "CommandFailure.h"

#include <gtk/gtk.h>

namespace velquor::tool {

void saveWidgetSnapshot(GtkWidget* widget, const std::string& path) {
  const int width = gtk_widget_get_width(widget);
  const int height = gtk_widget_get_height(widget);
  GtkNative* native = gtk_widget_get_native(widget);
  GskRenderer* renderer = native ? gtk_native_get_renderer(native) : nullptr;
  if (width <= 0 || height <= 0 || renderer == nullptr) {
    throw CommandFailure(kExitSoftware, "cannot take a screenshot: the window is not shown");
  }
  GdkPaintable* paintable = gtk_widget_paintable_new(widget);
  GtkSnapshot* snapshot = gtk_snapshot_new();
  gdk_paintable_snapshot(paintable, snapshot, width, height);
  GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
  g_object_unref(paintable);
  if (node == nullptr) throw CommandFailure(kExitSoftware, "cannot take a screenshot: nothing is drawn");
  graphene_rect_t area;
  graphene_rect_init(&area, 0, 0, static_cast<float>(width), static_cast<float>(height));
  GdkTexture* texture = gsk_renderer_render_texture(renderer, node, &area);
  gsk_render_node_unref(node);
  const bool saved = gdk_texture_save_to_png(texture, path.c_str());
  g_object_unref(texture);
  if (!saved) throw CommandFailure(kExitSoftware, "cannot write the screenshot to " + path);
}

}  // namespace velquor::tool
