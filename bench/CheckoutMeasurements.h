#pragma once

// The measuring runs of the checkout benchmark. Each runs in a process of its own, under a
// display, and reports its figures with reportResult (milliseconds, bytes).

#include "CheckoutStage.h"

#include <vector>

namespace bench {

// Median times of `runs` sequential checkouts per library and of as many floor runs, interleaved,
// after one uncounted warm-up of each: "<library>.<checkout|floor>.<post|completion|pageload>".
void measureCheckoutTimes(int runs, const std::vector<Library>& libraries, const StageSettings& settings = {});

// After this many checkouts the toolkit's and the engine's caches in the app (glyphs, textures,
// WebKit's records) have filled: what the resident size does after it is the checkouts' own.
constexpr int kSettledAfter = 10;

// Resident size after the first and after the last of `checkouts` sequential checkouts, each
// dismissed before the next: "rss.first", "rss.last", and "rss.settled" after the kSettledAfter-th
// when there are more; the heap in use after the first and the last, "heap.first", "heap.last";
// and "rss.released", the resident size once malloc has given its free heap back after the last
// (bytes).
void measureResidentGrowth(Library library, int checkouts);

// The first checkout of a fresh process, after the app's start-up (and its prewarm() when
// `prewarm`): "first.post", "first.completion", and "prewarm.ready" (how long prewarming took).
void measureFirstCheckout(Library library, bool prewarm, const StageSettings& settings = {});

// `checkouts` sequential checkouts as an app runs them back to back, each dismissed from within
// its delegate call, with no warm-up: median times from the launcher call to the payment start (the
// form page's load, after the slide), to the gateway's receipt of the post and to the delegate's
// call, "app.pageload", "app.post", "app.completion"; lowest and highest, "app.post.min" and so on.
// One checkout (or, `floor`, one bare web view) open with its result in, in a fresh process: the
// proportional set size of the app and its web and network processes, "pss.total", "pss.app",
// "pss.processes".
void measureOpenMemory(Library library, bool floor);

void measureAppCheckouts(Library library, int checkouts, const StageSettings& settings);

}  // namespace bench
