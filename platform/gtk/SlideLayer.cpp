#include "SlideLayer.h"

#include <algorithm>
#include <cmath>

struct _VelquorSlideLayer {
  GtkWidget parent_instance;
  GtkWidget* child;
  VelquorSlide slide;
  GdkPaintable* still;
  // Offsets of whatever moves (the child going up, the still going down), as a share of the height.
  double from;
  double offset;
  gint64 end;
  gint64 firstFrame;
  guint tick;
  guint endTimer;
  // What the last drawn frame cost, from its tick to the end of its paint, so that expensive frames
  // are spaced out (see frame()).
  GdkFrameClock* paintClock;
  gulong afterPaint;
  gint64 drawnAt;
  gint64 drawCost;
  gboolean drawing;
};

G_DEFINE_FINAL_TYPE(VelquorSlideLayer, velquor_slide_layer, GTK_TYPE_WIDGET)

namespace {

enum { PROP_0, PROP_SLIDING, N_PROPS };
GParamSpec* properties[N_PROPS];

// A slide's frames take at most about this share of the time: after a frame that took d to draw,
// the next is drawn no sooner than d / share later. With a GPU a frame takes well under a
// millisecond and every frame is drawn; drawn in software (no GPU, or a virtual display) one takes
// 5-15 ms of both cores, which the web engine's process, starting at the same time, needs.
constexpr gint64 kDrawShareInverse = 4;
// However long frames take, the slide moves at least this often, so it stays a slide.
constexpr gint64 kLongestFrameGap = 50'000;

double targetOf(VelquorSlide slide) { return slide == VELQUOR_SLIDE_DOWN ? 1.0 : 0.0; }

// The stack's own curve for these transitions.
double easeOutCubic(double t) { return 1.0 - std::pow(1.0 - t, 3.0); }

void relayout(VelquorSlideLayer* self) {
  // The child's place moves only going up; going down only the still moves.
  if (self->slide == VELQUOR_SLIDE_DOWN) {
    gtk_widget_queue_draw(GTK_WIDGET(self));
  } else {
    gtk_widget_queue_allocate(GTK_WIDGET(self));
  }
}

void stopTiming(VelquorSlideLayer* self) {
  if (self->afterPaint) g_signal_handler_disconnect(self->paintClock, self->afterPaint);
  g_clear_object(&self->paintClock);
  self->afterPaint = 0;
  self->drawnAt = 0;
  self->drawCost = 0;
  self->drawing = FALSE;
}

void painted(GdkFrameClock*, gpointer data) {
  auto* self = static_cast<VelquorSlideLayer*>(data);
  if (!self->drawing) return;
  self->drawing = FALSE;
  self->drawCost = g_get_monotonic_time() - self->drawnAt;
}

void startTiming(VelquorSlideLayer* self) {
  GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(self));
  if (clock == self->paintClock) return;
  stopTiming(self);
  if (!clock) return;
  self->paintClock = GDK_FRAME_CLOCK(g_object_ref(clock));
  self->afterPaint = g_signal_connect(clock, "after-paint", G_CALLBACK(painted), self);
}

void finish(VelquorSlideLayer* self) {
  if (self->slide == VELQUOR_SLIDE_NONE) return;
  stopTiming(self);
  if (self->tick) gtk_widget_remove_tick_callback(GTK_WIDGET(self), self->tick);
  if (self->endTimer) g_source_remove(self->endTimer);
  self->tick = 0;
  self->endTimer = 0;
  self->offset = 0;
  self->slide = VELQUOR_SLIDE_NONE;
  g_clear_object(&self->still);
  gtk_widget_queue_allocate(GTK_WIDGET(self));
  g_object_notify_by_pspec(G_OBJECT(self), properties[PROP_SLIDING]);
}

gboolean frame(GtkWidget* widget, GdkFrameClock* clock, gpointer) {
  auto* self = VELQUOR_SLIDE_LAYER(widget);
  const gint64 now = gdk_frame_clock_get_frame_time(clock);
  // The motion starts from the first frame the slide gets, however late that comes.
  if (self->firstFrame == 0) self->firstFrame = now;
  const double span = static_cast<double>(self->end - self->firstFrame);
  const double progress = span <= 0 ? 1.0 : std::clamp(static_cast<double>(now - self->firstFrame) / span, 0.0, 1.0);
  // A frame too soon after an expensive one is left out; the last one is always drawn.
  const gint64 tick = g_get_monotonic_time();
  if (progress < 1.0 && self->drawnAt != 0 &&
      tick - self->drawnAt < std::min(kDrawShareInverse * self->drawCost, kLongestFrameGap)) {
    return G_SOURCE_CONTINUE;
  }
  self->drawnAt = tick;
  self->drawing = TRUE;
  self->offset = self->from + (targetOf(self->slide) - self->from) * easeOutCubic(progress);
  relayout(self);
  return G_SOURCE_CONTINUE;
}

gboolean ended(gpointer data) {
  auto* self = VELQUOR_SLIDE_LAYER(data);
  self->endTimer = 0;
  finish(self);
  return G_SOURCE_REMOVE;
}

void measure(GtkWidget* widget, GtkOrientation orientation, int forSize, int* minimum, int* natural,
             int* minimumBaseline, int* naturalBaseline) {
  auto* self = VELQUOR_SLIDE_LAYER(widget);
  *minimum = *natural = 0;
  *minimumBaseline = *naturalBaseline = -1;
  if (self->child) {
    gtk_widget_measure(self->child, orientation, forSize, minimum, natural, minimumBaseline, naturalBaseline);
  }
}

void sizeAllocate(GtkWidget* widget, int width, int height, int baseline) {
  auto* self = VELQUOR_SLIDE_LAYER(widget);
  if (!self->child) return;
  GskTransform* place = nullptr;
  if (self->slide == VELQUOR_SLIDE_UP && self->offset > 0) {
    graphene_point_t below;
    graphene_point_init(&below, 0.f, static_cast<float>(self->offset * height));
    place = gsk_transform_translate(nullptr, &below);
  }
  gtk_widget_allocate(self->child, width, height, baseline, place);
}

void snapshot(GtkWidget* widget, GtkSnapshot* snapshot) {
  auto* self = VELQUOR_SLIDE_LAYER(widget);
  if (!self->child) return;
  if (self->slide == VELQUOR_SLIDE_NONE || !self->still) {
    gtk_widget_snapshot_child(widget, self->child, snapshot);
    return;
  }
  const double width = gtk_widget_get_width(widget);
  const double height = gtk_widget_get_height(widget);
  // The still keeps the size it was taken at, should the window have changed since.
  const int stillWidth = gdk_paintable_get_intrinsic_width(self->still);
  const int stillHeight = gdk_paintable_get_intrinsic_height(self->still);
  const auto drawStill = [&] {
    gdk_paintable_snapshot(self->still, snapshot, stillWidth > 0 ? stillWidth : width,
                           stillHeight > 0 ? stillHeight : height);
  };
  graphene_rect_t bounds;
  graphene_rect_init(&bounds, 0.f, 0.f, static_cast<float>(width), static_cast<float>(height));
  gtk_snapshot_push_clip(snapshot, &bounds);
  if (self->slide == VELQUOR_SLIDE_UP) {
    drawStill();
    gtk_widget_snapshot_child(widget, self->child, snapshot);
  } else {
    gtk_widget_snapshot_child(widget, self->child, snapshot);
    gtk_snapshot_save(snapshot);
    graphene_point_t below;
    graphene_point_init(&below, 0.f, static_cast<float>(self->offset * height));
    gtk_snapshot_translate(snapshot, &below);
    drawStill();
    gtk_snapshot_restore(snapshot);
  }
  gtk_snapshot_pop(snapshot);
}

void unmap(GtkWidget* widget) {
  // No frames come to an unmapped layer: whatever it was showing is where it ends.
  finish(VELQUOR_SLIDE_LAYER(widget));
  GTK_WIDGET_CLASS(velquor_slide_layer_parent_class)->unmap(widget);
}

void dispose(GObject* object) {
  auto* self = VELQUOR_SLIDE_LAYER(object);
  if (self->endTimer) g_source_remove(self->endTimer);
  self->endTimer = 0;
  stopTiming(self);
  g_clear_object(&self->still);
  g_clear_pointer(&self->child, gtk_widget_unparent);
  G_OBJECT_CLASS(velquor_slide_layer_parent_class)->dispose(object);
}

void getProperty(GObject* object, guint id, GValue* value, GParamSpec* property) {
  if (id == PROP_SLIDING) {
    g_value_set_boolean(value, VELQUOR_SLIDE_LAYER(object)->slide != VELQUOR_SLIDE_NONE);
  } else {
    G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, property);
  }
}

}  // namespace

static void velquor_slide_layer_class_init(VelquorSlideLayerClass* klass) {
  auto* objectClass = G_OBJECT_CLASS(klass);
  objectClass->dispose = dispose;
  objectClass->get_property = getProperty;
  properties[PROP_SLIDING] = g_param_spec_boolean("sliding", nullptr, nullptr, FALSE,
                                                  static_cast<GParamFlags>(G_PARAM_READABLE | G_PARAM_STATIC_STRINGS));
  g_object_class_install_properties(objectClass, N_PROPS, properties);

  auto* widgetClass = GTK_WIDGET_CLASS(klass);
  widgetClass->measure = measure;
  widgetClass->size_allocate = sizeAllocate;
  widgetClass->snapshot = snapshot;
  widgetClass->unmap = unmap;
  gtk_widget_class_set_css_name(widgetClass, "velquor-slide-layer");
}

static void velquor_slide_layer_init(VelquorSlideLayer* self) { gtk_widget_set_overflow(GTK_WIDGET(self), GTK_OVERFLOW_HIDDEN); }

GtkWidget* velquor_slide_layer_new(GtkWidget* child) {
  auto* self = VELQUOR_SLIDE_LAYER(g_object_new(velquor_slide_layer_get_type(), nullptr));
  self->child = child;
  gtk_widget_set_parent(child, GTK_WIDGET(self));
  return GTK_WIDGET(self);
}

gboolean velquor_slide_layer_can_slide(VelquorSlideLayer* self) {
  gboolean animations = TRUE;
  g_object_get(gtk_widget_get_settings(GTK_WIDGET(self)), "gtk-enable-animations", &animations, nullptr);
  return animations && gtk_widget_get_mapped(GTK_WIDGET(self));
}

void velquor_slide_layer_start(VelquorSlideLayer* self, VelquorSlide slide, GdkPaintable* still, gint64 end) {
  const gint64 now = g_get_monotonic_time();
  if (slide == VELQUOR_SLIDE_NONE || end <= now || !velquor_slide_layer_can_slide(self)) {
    finish(self);
    return;
  }
  // Going down from a slide up under way starts where the page has got to.
  const double from = slide == VELQUOR_SLIDE_DOWN && self->slide == VELQUOR_SLIDE_UP ? self->offset
                      : slide == VELQUOR_SLIDE_DOWN                                 ? 0.0
                                                                                    : 1.0;
  const bool wasSliding = self->slide != VELQUOR_SLIDE_NONE;
  if (self->endTimer) g_source_remove(self->endTimer);
  if (still) g_object_ref(still);
  g_clear_object(&self->still);
  self->still = still;
  self->slide = slide;
  self->from = from;
  self->offset = from;
  self->end = end;
  self->firstFrame = 0;
  if (!self->tick) self->tick = gtk_widget_add_tick_callback(GTK_WIDGET(self), frame, nullptr, nullptr);
  startTiming(self);
  const auto remaining = static_cast<guint>((end - now + 999) / 1000);
  self->endTimer = g_timeout_add_full(G_PRIORITY_DEFAULT, remaining, ended, self, nullptr);
  relayout(self);
  if (!wasSliding) g_object_notify_by_pspec(G_OBJECT(self), properties[PROP_SLIDING]);
}

VelquorSlide velquor_slide_layer_get_slide(VelquorSlideLayer* self) { return self->slide; }

GdkPaintable* velquor_slide_layer_still_of(GtkWidget* widget) {
  if (!widget || !gtk_widget_is_drawable(widget)) return nullptr;
  GdkPaintable* live = gtk_widget_paintable_new(widget);
  GdkPaintable* still = gdk_paintable_get_current_image(live);
  g_object_unref(live);
  return still;
}
