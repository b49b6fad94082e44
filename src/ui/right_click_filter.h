// The right button on the four traffic boxes: a right press reaches the box
// as a left press after the right-click flag was set, and a right release as
// a left release, so the caret lands on the clicked word and the box's click
// runs "Both..." on it. No context menu. Removed again before the App goes.
#pragma once

#include <QObject>
#include <QPointer>
#include <vector>

namespace qn {

class App;

class RightClickFilter : public QObject {
  Q_OBJECT
 public:
  explicit RightClickFilter(App& app, QObject* parent = nullptr) : QObject(parent), app_(&app) {}
  ~RightClickFilter() override { Remove(); }

  // Watches a box's viewport, where its mouse events arrive.
  void Watch(QWidget* viewport);
  // Puts the boxes back as they were.
  void Remove();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  App* app_;
  std::vector<QPointer<QWidget>> watched_;
};

}  // namespace qn
