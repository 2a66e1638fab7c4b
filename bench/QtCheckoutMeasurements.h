#pragma once

// The measuring runs of the Qt checkout benchmark, each in a process of its own under a display,
// reporting with reportResult (milliseconds, bytes). The same figures as the GTK runs, with the same
// names, plus the proportional set size of the whole process tree.

#include "QtCheckoutStage.h"

#include <vector>

namespace bench {

// As measureCheckoutTimes for GTK: "<library>.<checkout|floor>.<post|completion|pageload>".
void measureQtCheckoutTimes(int runs, const std::vector<Library>& libraries, const StageSettings& settings);

// As measureResidentGrowth for GTK: "rss.first", "rss.last", "heap.first", "heap.last", "rss.released".
void measureQtResidentGrowth(Library library, int checkouts, bool floor);

// As measureFirstCheckout for GTK: "first.post", "first.completion", "prewarm.ready".
void measureQtFirstCheckout(Library library, bool prewarm, const StageSettings& settings);

// One checkout (or, `floor`, one bare web view) open with its result in, in a fresh process: the
// proportional set size of the app and all its engine processes, "pss.total", "pss.app",
// "pss.processes".
void measureQtOpenMemory(Library library, bool floor);

// What a ready prewarm() costs while nothing else is open: "pss.before", "pss.after" (the whole
// tree), "prewarm.ready".
void measureQtPrewarmIdleCost();

// `checkouts` checkouts one after another, with no warm-up: median, lowest and highest time from the
// launcher call to the gateway's post and to the delegate's call, "app.post[.min|.max]",
// "app.completion[.min|.max]".
void measureQtAppCheckouts(Library library, int checkouts);

}  // namespace bench
