#include "SpinnerWidget.h"

#include <QAccessible>
#include <QPainter>

#include <algorithm>

namespace velquor::qt {

SpinnerWidget::SpinnerWidget(QWidget* parent) : QWidget(parent), color_(palette().color(QPalette::WindowText)) {
  setObjectName("velquor-spinner");
  // Clicks go to what lies under it, as with the platform's indicator.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // A child, so that whoever holds the widget can tell whether it turns.
  rotation_.setParent(this);
  rotation_.setStartValue(0.0);
  rotation_.setEndValue(360.0);
  rotation_.setDuration(1000);
  rotation_.setLoopCount(-1);
  connect(&rotation_, &QVariantAnimation::valueChanged, this, [this] { update(); });
}

void SpinnerWidget::setSpinning(bool spinning) {
  if (spinning == isSpinning()) return;
  if (spinning) {
    rotation_.start();
  } else {
    rotation_.stop();
  }
  // An assistive technology hears that it is busy, or no longer.
  QAccessible::State busy;
  busy.busy = true;
  QAccessibleStateChangeEvent event(this, busy);
  QAccessible::updateAccessibility(&event);
  update();
}

void SpinnerWidget::setColor(const QColor& color) {
  color_ = color;
  update();
}

void SpinnerWidget::paintEvent(QPaintEvent*) {
  if (!isSpinning()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height());
  const qreal pen = std::max(2.0, side / 8.0);
  QRectF arc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  arc.adjust(pen / 2, pen / 2, -pen / 2, -pen / 2);
  painter.setPen(QPen(color_, pen, Qt::SolidLine, Qt::RoundCap));
  // Qt counts angles in sixteenths of a degree, anticlockwise.
  const int start = -static_cast<int>(rotation_.currentValue().toDouble() * 16);
  painter.drawArc(arc, start, 270 * 16);
}

}  // namespace velquor::qt
