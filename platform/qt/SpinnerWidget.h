#pragma once

#include <QColor>
#include <QVariantAnimation>
#include <QWidget>

namespace velquor::qt {

// An activity indicator: a turning arc while spinning, nothing while stopped (as GTK's spinner).
class SpinnerWidget final : public QWidget {
 public:
  explicit SpinnerWidget(QWidget* parent = nullptr);

  void setSpinning(bool spinning);
  bool isSpinning() const { return rotation_.state() == QAbstractAnimation::Running; }
  void setColor(const QColor& color);
  QColor color() const { return color_; }

  QSize sizeHint() const override { return {20, 20}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QVariantAnimation rotation_;
  QColor color_;
};

}  // namespace velquor::qt
