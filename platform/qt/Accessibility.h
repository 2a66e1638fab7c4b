#pragma once

// What assistive technologies read of the toolkit's own widgets, beyond Qt's defaults: the
// presented page is a region named by its bar's title, the spinner a busy progress bar, and a
// view's hidden subviews are left out of the tree (as GTK leaves hidden widgets out).

namespace velquor::qt {

// Adds the toolkit's interfaces to Qt's accessibility; once per process, later calls do nothing.
// They are made only when something asks for them (an assistive technology), so cost nothing else.
void installAccessibleFactory();

// Lets Qt WebEngine expose a page's own tree. On Linux it keeps renderer accessibility off unless
// the environment allows it; allowed, the engine turns it on only while Qt's accessibility is
// active (an assistive technology on the AT-SPI bus), so nothing is built otherwise. Must run
// before the engine starts (the first profile or page of the process).
void allowPageAccessibility();

}  // namespace velquor::qt
