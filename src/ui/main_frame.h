// The main frame frmmain: an MDI area with the five traffic windows, the menu
// bar built from the App's menu table, the status bar and the splash. It
// renders the App's FrameState, keeps the App's window positions in step with
// what the user arranges, and closing it closes the App.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <array>
#include <memory>
#include <vector>

#include "core/frame_state.h"
#include "core/text_window.h"
#include "ui/frame_menus.h"

namespace qn {

class App;
class FrameDesktop;
class InfoWindows;
class RightClickFilter;
class RigSpotHighlighter;
class SplashWindow;
class TrafficView;
class TypedInputWindow;

class MainFrame : public QMainWindow, public FrameListener {
  Q_OBJECT
 public:
  explicit MainFrame(App& app, QWidget* parent = nullptr);
  ~MainFrame() override;

  // Places and shows the frame; the first call creates the five windows in
  // the stored stacking order at their stored places (or the default layout).
  void ShowFrame();
  bool Shown() const { return created_; }
  // Stops observing the App, which is about to go away.
  void Detach();
  // Puts the five windows at the default arrangement for the area's size.
  void ApplyDefaultLayout();
  // Fonts, colours, scroll bars and, when no places are stored, the default
  // arrangement, applied again after a frame command changed them.
  void ApplyAppearance();
  // The printer, help and memory ports of the frame's commands.
  FrameDesktop* Desktop() const { return desktop_.get(); }
  // Activates a child and gives its text box the focus.
  void FocusWindow(WindowId id);

  QMdiArea* Area() const { return area_; }
  QMdiSubWindow* Child(WindowId id) const { return children_[Index(id)]; }
  // The view of a model; for the typed-input window the view of its history.
  TrafficView* View(WindowId id) const;
  TypedInputWindow* TypedInput() const { return typedInput_; }
  SplashWindow* Splash() const { return splash_.get(); }
  FrameMenus* Menus() const { return menus_.get(); }
  InfoWindows* Infos() const { return infoWindows_.get(); }

  void OnFrameChanged(FrameField field) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static std::size_t Index(WindowId id) { return static_cast<std::size_t>(id); }
  void BuildStatusBar();
  void CreateChildren();
  QMdiSubWindow* CreateChild(WindowId id);
  void PlaceFrame();
  void PlaceChildren();
  void ApplyFontAndColours();
  void SyncChild(WindowId id);
  void SyncFrame();
  void OnActivated(QMdiSubWindow* sub);
  void UpdateSplash();
  void UpdateFlash();
  void UpdateAll();
  QRect FrameRectForSplash() const;
  // The traffic windows' keys, mouse, clipboard and colours, and the
  // information windows (main_frame_traffic.cpp).
  void WireTraffic();
  void WireTrafficView(WindowId id, TrafficView* view);
  void UnwireTraffic();
  // Rig control's click and passband marks on the views (main_frame_rig.cpp).
  void WireRigView(WindowId id, TrafficView* view);
  void UnwireRig();
  // The frame's own commands: print, help at the focused control, about
  // (main_frame_desktop.cpp).
  void WireDesktop();
  void UnwireDesktop();

  App* app_;
  QMdiArea* area_;
  std::unique_ptr<FrameMenus> menus_;
  std::array<QMdiSubWindow*, 5> children_{};
  std::array<TrafficView*, 5> views_{};
  TypedInputWindow* typedInput_ = nullptr;
  std::unique_ptr<SplashWindow> splash_;
  std::unique_ptr<RightClickFilter> rightClick_;
  std::vector<QObject*> rigClicks_;
  RigSpotHighlighter* rigMarks_ = nullptr;
  std::unique_ptr<InfoWindows> infoWindows_;
  std::unique_ptr<FrameDesktop> desktop_;
  // The application's focus signal outlives the frame's own destructor.
  QMetaObject::Connection focusWatch_;
  QLabel* lblHost_;
  QLabel* lblCap_;
  QLabel* lblStat_;
  QLabel* lblRig_ = nullptr;
  QLabel* lblTime_;
  QLabel* imOn_;
  QLabel* imOff_;
  bool created_ = false;
  bool placing_ = false;
  bool defaultLayout_ = false;  // no stored places: follow the area's size
  bool userArranged_ = false;   // the user has moved a window since
  bool closingFrame_ = false;
};

// The window-system colour of the settings (red in the lowest byte).
QColor FromBgr(std::int32_t value);

}  // namespace qn
