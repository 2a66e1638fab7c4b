#pragma once

#include <gtk/gtk.h>

G_BEGIN_DECLS

// The window's slide, drawn over one child (the window's stack of pages).
//
// A GtkStack transition starts its clock at its first frame and ends on the first frame past its
// duration, so with slow frames it ended tens of milliseconds after it should have. This layer's
// slide ends at a time fixed when the presentation began, on a timer rather than on a frame; its
// frames spread the motion over whatever time is left after the first one.
//
// Sliding up, the child (now showing the new page) rises over a still image of what it covered.
// Sliding down, a still image of the page that leaves falls away from the child, which already
// shows what was underneath. Either starts from where a slide under way has got to.
//
// Frames that are expensive to draw (software rendering) are spaced out so that the slide takes at
// most about a quarter of the time, leaving the cores to a web engine starting alongside; the slide
// still moves at least every 50 ms.
//
// The read-only boolean property "sliding" is TRUE from the start of a slide until its end.
G_DECLARE_FINAL_TYPE(VelquorSlideLayer, velquor_slide_layer, VELQUOR, SLIDE_LAYER, GtkWidget)

typedef enum { VELQUOR_SLIDE_NONE, VELQUOR_SLIDE_UP, VELQUOR_SLIDE_DOWN } VelquorSlide;

GtkWidget* velquor_slide_layer_new(GtkWidget* child);

// Whether a slide would be seen: the layer is mapped and the settings allow animations.
gboolean velquor_slide_layer_can_slide(VelquorSlideLayer* self);

// Starts a slide that ends at `end` (g_get_monotonic_time() microseconds). `still` (taken before
// the child switched pages; may be NULL) stands for the page that is covered or leaves. When the
// layer cannot slide or `end` has passed, a slide under way ends at once and none starts.
void velquor_slide_layer_start(VelquorSlideLayer* self, VelquorSlide slide, GdkPaintable* still, gint64 end);

VelquorSlide velquor_slide_layer_get_slide(VelquorSlideLayer* self);

// A still image of what `widget` showed in its last frame, or NULL when it has not been drawn.
GdkPaintable* velquor_slide_layer_still_of(GtkWidget* widget);

G_END_DECLS
