#include "Accessibility.h"

#include "NavigationBarView.h"
#include "PresentedPage.h"
#include "SpinnerWidget.h"
#include "ViewRenderer.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace velquor::qt {

namespace {

// Qt 6.4 has no landmark role; a section is what its AT-SPI bridge gives nearest to a region.
constexpr QAccessible::Role kRegionRole = QAccessible::Section;

// The presented page: named by its bar's title, read at the time it is asked for, and labelled by it.
class CheckoutRegion final : public QAccessibleWidget {
 public:
  explicit CheckoutRegion(QWidget* page) : QAccessibleWidget(page, kRegionRole) {}

  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
      if (const QLabel* title = titleLabel()) return title->text();
    }
    return QAccessibleWidget::text(kind);
  }

  QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(QAccessible::Relation match) const override {
    auto found = QAccessibleWidget::relations(match);
    if (match & QAccessible::Label) {
      if (QLabel* title = titleLabel(); title && !title->text().isEmpty()) {
        if (auto* label = QAccessible::queryAccessibleInterface(title)) found.append({label, QAccessible::Label});
      }
    }
    return found;
  }

 private:
  QLabel* titleLabel() const { return widget()->findChild<QLabel*>(NavigationBarView::kTitleName); }
};

// An activity indicator has no progress to tell, only that something is under way.
class BusyIndicator final : public QAccessibleWidget {
 public:
  explicit BusyIndicator(SpinnerWidget* spinner) : QAccessibleWidget(spinner, QAccessible::ProgressBar) {}

  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.busy = static_cast<const SpinnerWidget*>(widget())->isSpinning();
    return state;
  }
};

// A plain view: its subviews as children, the hidden ones left out.
class ViewArea final : public QAccessibleWidget {
 public:
  explicit ViewArea(QWidget* area) : QAccessibleWidget(area, QAccessible::Client) {}

  int childCount() const override { return static_cast<int>(shown().size()); }
  QAccessibleInterface* child(int index) const override {
    const auto children = shown();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children.at(index)) : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (!child || !child->object() || !child->object()->isWidgetType()) return -1;
    return static_cast<int>(shown().indexOf(static_cast<QWidget*>(child->object())));
  }

 private:
  QList<QWidget*> shown() const {
    QList<QWidget*> children;
    for (QObject* object : widget()->children()) {
      if (!object->isWidgetType()) continue;
      auto* child = static_cast<QWidget*>(object);
      if (!child->isWindow() && !child->isHidden()) children.append(child);
    }
    return children;
  }
};

QAccessibleInterface* makeInterface(const QString&, QObject* object) {
  if (!object || !object->isWidgetType()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  if (auto* spinner = dynamic_cast<SpinnerWidget*>(widget)) return new BusyIndicator(spinner);
  const QString name = widget->objectName();
  if (name == QLatin1String(PresentedPage::kPageName)) return new CheckoutRegion(widget);
  if (name == QLatin1String(ViewRenderer::kAreaName)) return new ViewArea(widget);
  return nullptr;
}

}  // namespace

void installAccessibleFactory() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(makeInterface);
}

void allowPageAccessibility() {
  // An app's own choice stands; the engine reads only whether it is set.
  if (!qEnvironmentVariableIsSet("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY")) {
    qputenv("QTWEBENGINE_ENABLE_LINUX_ACCESSIBILITY", "1");
  }
}

}  // namespace velquor::qt
