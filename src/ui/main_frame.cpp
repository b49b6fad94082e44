#include "ui/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStatusBar>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <vector>

#include "app/app.h"
#include "core/frame_commands.h"
#include "platform/qt/latin1.h"
#include "ui/fonts_dialog.h"
#include "ui/frame_desktop.h"
#include "ui/info_windows.h"
#include "ui/right_click_filter.h"
#include "ui/splash_window.h"
#include "ui/traffic_view.h"
#include "ui/typed_input_window.h"
#include "ui/window_layout.h"

namespace qn {

namespace {

struct ChildInfo {
  const char* formName;
  const char* boxName;
  const char* caption;
};

ChildInfo InfoOf(WindowId id) {
  switch (id) {
    case WindowId::Terminal:
      return {"Frmrx", "tResponse", "Terminal"};
    case WindowId::Spots:
      return {"Frmspot", "tspot", "DX Spots"};
    case WindowId::Announcements:
      return {"Frmann", "Tann", "Announcements"};
    case WindowId::Talks:
      return {"frmtalk", "Ttalk", "Talks"};
    case WindowId::TypedInput:
      return {"Frmlink", "Textsend", "Tx"};
  }
  return {"Frmrx", "tResponse", "Terminal"};
}

QPixmap Lamp(const QColor& colour) {
  QPixmap pm(12, 12);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(colour);
  p.setPen(colour.darker());
  p.drawEllipse(1, 1, 10, 10);
  return pm;
}

ColourPair ColoursOf(const AppSettings& s, WindowId id) {
  switch (id) {
    case WindowId::Terminal:
      return s.terminalColours;
    case WindowId::Spots:
      return s.spotColours;
    case WindowId::Announcements:
      return s.announcementColours;
    case WindowId::Talks:
      return s.talkColours;
    case WindowId::TypedInput:
      return s.typedInputColours;
  }
  return s.terminalColours;
}

// The stored order, each window once: a damaged position file may repeat or
// leave out a code.
std::vector<WindowId> CreationOrder(const Positions& p) {
  std::vector<WindowId> order;
  auto add = [&](WindowId id) {
    if (std::find(order.begin(), order.end(), id) == order.end()) order.push_back(id);
  };
  for (int code : p.order) {
    if (code >= 1 && code <= 5) add(WindowOfOrderCode(code));
  }
  for (int code = 1; code <= 5; ++code) add(WindowOfOrderCode(code));
  return order;
}

}  // namespace

QColor FromBgr(std::int32_t value) {
  auto v = static_cast<std::uint32_t>(value);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

MainFrame::MainFrame(App& app, QWidget* parent) : QMainWindow(parent), app_(&app) {
  setObjectName("frmmain");
  setWindowTitle(ToQString(app.Frame().Title()));
  area_ = new QMdiArea(this);
  area_->setObjectName("mdiarea");
  area_->viewport()->installEventFilter(this);
  setCentralWidget(area_);
  connect(area_, &QMdiArea::subWindowActivated, this, &MainFrame::OnActivated);
  menus_ = std::make_unique<FrameMenus>(app, *menuBar());
  BuildStatusBar();
  splash_ = std::make_unique<SplashWindow>();
  app.Frame().AddListener(this);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (app_) app_->SetProgramInFront(state == Qt::ApplicationActive);
  });
  app.onRaise = [this] {
    if (isMinimized()) showNormal();
    raise();
    activateWindow();
  };
  app.onFocusWindow = [this](WindowId id) { FocusWindow(id); };
  app.onSetTypedLine = [this](const std::string& text) {
    if (!typedInput_) return;
    FocusWindow(WindowId::TypedInput);
    typedInput_->Box()->setText(ToQString(text));
    typedInput_->Box()->end(false);
  };
  WireTraffic();
  WireDesktop();
  UpdateAll();
}

void MainFrame::FocusWindow(WindowId id) {
  QMdiSubWindow* sub = Child(id);
  if (!sub) return;
  area_->setActiveSubWindow(sub);
  if (id == WindowId::TypedInput && typedInput_) {
    typedInput_->Box()->setFocus();
  } else if (TrafficView* view = View(id)) {
    view->setFocus();
  }
}

MainFrame::~MainFrame() {
  closingFrame_ = true;
  // The MDI area outlives this destructor (QWidget deletes children later) and
  // activates its remaining windows while going away.
  if (area_) {
    area_->disconnect(this);
    area_->viewport()->removeEventFilter(this);
  }
  Detach();
}

void MainFrame::Detach() {
  if (!app_) return;
  app_->Frame().RemoveListener(this);
  app_->onRaise = nullptr;
  app_->onFocusWindow = nullptr;
  app_->onSetTypedLine = nullptr;
  UnwireTraffic();
  UnwireDesktop();
  for (TrafficView* v : views_) {
    if (v) v->Detach();
  }
  if (typedInput_) typedInput_->Box()->setEnabled(false);
  menus_->Clear();
  if (splash_) splash_->hide();
  app_ = nullptr;
}

void MainFrame::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("Picmain");
  bar->setSizeGripEnabled(true);
  auto label = [&](const char* name, int minWidth, int stretch) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    l->setMinimumWidth(minWidth);
    bar->addPermanentWidget(l, stretch);
    return l;
  };
  lblHost_ = label("Lblhost", 120, 0);
  lblCap_ = label("Lblcap", 100, 1);
  lblStat_ = label("Lblstat", 160, 0);
  lblRig_ = label("Lblrig", 0, 0);
  lblRig_->setVisible(false);
  lblTime_ = label("LblCurTime", 60, 0);
  imOn_ = label("Imon", 14, 0);
  imOn_->setPixmap(Lamp(QColor(0, 200, 0)));
  imOn_->setToolTip("Connected");
  imOff_ = label("Imoff", 14, 0);
  imOff_->setPixmap(Lamp(QColor(200, 0, 0)));
  imOff_->setToolTip("Disconnected");
}

void MainFrame::UpdateAll() {
  for (FrameField f :
       {FrameField::Title, FrameField::Host, FrameField::Prompt, FrameField::Status, FrameField::Time,
        FrameField::Connected, FrameField::Menu, FrameField::Splash, FrameField::Rig}) {
    OnFrameChanged(f);
  }
}

void MainFrame::OnFrameChanged(FrameField field) {
  if (!app_) return;
  const FrameState& f = app_->Frame();
  switch (field) {
    case FrameField::Title:
      setWindowTitle(ToQString(f.Title()));
      break;
    case FrameField::Host:
      lblHost_->setText(ToQString(f.Host()));
      break;
    case FrameField::Prompt:
      lblCap_->setText(ToQString(f.Prompt()));
      break;
    case FrameField::Status:
      lblStat_->setText(ToQString(f.Status()));
      break;
    case FrameField::Time:
      lblTime_->setText(ToQString(f.Time()));
      break;
    case FrameField::Rig:
      lblRig_->setText(ToQString(f.Rig()));
      lblRig_->setVisible(!f.Rig().empty());
      break;
    case FrameField::Connected:
      imOn_->setVisible(f.Connected());
      imOff_->setVisible(!f.Connected());
      break;
    case FrameField::Flash:
      UpdateFlash();
      break;
    case FrameField::Splash:
      UpdateSplash();
      break;
    case FrameField::Menu:
      menus_->RebuildIfChanged();
      menus_->Refresh();
      if (typedInput_) typedInput_->Box()->setEnabled(f.Item("Textsend").enabled);
      break;
    case FrameField::Minimised:
      if (f.Minimised() != isMinimized() && isVisible()) {
        if (f.Minimised())
          showMinimized();
        else
          showNormal();
      }
      break;
  }
}

void MainFrame::UpdateFlash() {
  const bool on = app_->Frame().FlashOn();
  // The status line blinks with the timer; the window system is asked to
  // draw attention to a frame that is not in front.
  lblStat_->setAutoFillBackground(on);
  QPalette pal = lblStat_->palette();
  pal.setColor(QPalette::Window,
               on ? palette().color(QPalette::Highlight) : palette().color(QPalette::Window));
  pal.setColor(QPalette::WindowText,
               on ? palette().color(QPalette::HighlightedText) : palette().color(QPalette::WindowText));
  lblStat_->setPalette(pal);
  if (on && isVisible() && !isActiveWindow()) QApplication::alert(this, 400);
}

QRect MainFrame::FrameRectForSplash() const {
  if (isVisible()) return frameGeometry();
  const Rect& stored = app_->WindowPositions().frame;
  if (stored.width > 0 && stored.height > 0) return TwipsToPixels(stored);
  QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 800, 600);
}

void MainFrame::UpdateSplash() {
  if (app_->Frame().SplashVisible())
    splash_->ShowCentredOn(FrameRectForSplash());
  else
    splash_->hide();
}

TrafficView* MainFrame::View(WindowId id) const { return views_[Index(id)]; }

void MainFrame::ShowFrame() {
  if (!app_) return;
  if (!created_) {
    menus_->RebuildIfChanged();
    PlaceFrame();
    CreateChildren();
    created_ = true;
    PlaceChildren();
    return;
  }
  if (!isVisible()) show();
}

void MainFrame::PlaceFrame() {
  placing_ = true;
  const Rect& stored = app_->WindowPositions().frame;
  if (stored.width <= 0 || stored.height <= 0) {
    // Width 0 stands for the whole screen.
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) setGeometry(screen->availableGeometry());
    showMaximized();
  } else {
    QRect r = TwipsToPixels(stored);
    resize(r.size());
    move(r.topLeft());
    show();
  }
  placing_ = false;
}

QMdiSubWindow* MainFrame::CreateChild(WindowId id) {
  ChildInfo info = InfoOf(id);
  QWidget* content;
  if (id == WindowId::TypedInput) {
    typedInput_ = new TypedInputWindow(*app_);
    views_[Index(id)] = typedInput_->History();
    content = typedInput_;
  } else {
    auto* view = new TrafficView(app_->Window(id));
    view->setObjectName(info.boxName);
    view->onTyped = [this](QKeyEvent* e) {
      if (typedInput_) typedInput_->TakeKey(e);
    };
    WireTrafficView(id, view);
    views_[Index(id)] = view;
    content = view;
  }
  auto* sub = area_->addSubWindow(
      content, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint);
  sub->setObjectName(info.formName);
  sub->setWindowTitle(info.caption);
  sub->installEventFilter(this);
  children_[Index(id)] = sub;
  return sub;
}

void MainFrame::CreateChildren() {
  placing_ = true;
  std::vector<WindowId> order = CreationOrder(app_->WindowPositions());
  for (WindowId id : order) CreateChild(id);
  ApplyFontAndColours();
  // Each window is shown as it was made, so the last one made is on top.
  for (WindowId id : order) children_[Index(id)]->show();
  area_->setActiveSubWindow(children_[Index(order.back())]);
  placing_ = false;
}

void MainFrame::ApplyFontAndColours() {
  const AppSettings& s = app_->Settings();
  QFont font = ShownFont(app_->FrameCmds() ? app_->FrameCmds()->CurrentFont() : FontChoice{});
  const auto bars = s.verticalScrollBars ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
  for (int i = 0; i < 5; ++i) {
    auto id = static_cast<WindowId>(i);
    ColourPair c = ColoursOf(s, id);
    std::vector<QWidget*> boxes{views_[Index(id)]};
    if (id == WindowId::TypedInput && typedInput_) boxes.push_back(typedInput_->Box());
    for (QWidget* w : boxes) {
      if (!w) continue;
      if (w->font() != font) w->setFont(font);
      if (auto* box = qobject_cast<QAbstractScrollArea*>(w); box && box->verticalScrollBarPolicy() != bars)
        box->setVerticalScrollBarPolicy(bars);
      QPalette pal = w->palette();
      pal.setColor(QPalette::Base, FromBgr(c.back));
      pal.setColor(QPalette::Text, FromBgr(c.text));
      w->setPalette(pal);
    }
  }
}

void MainFrame::PlaceChildren() {
  Positions& p = app_->WindowPositions();
  if (!p.ChildrenStored()) {
    defaultLayout_ = true;
    ApplyDefaultLayout();
    return;
  }
  placing_ = true;
  for (int i = 0; i < 5; ++i) {
    auto id = static_cast<WindowId>(i);
    children_[Index(id)]->setGeometry(TwipsToPixels(StoredRect(p, id)));
  }
  placing_ = false;
}

void MainFrame::ApplyDefaultLayout() {
  if (!created_ || !app_) return;
  placing_ = true;
  QSize size = area_->viewport()->size();
  for (int i = 0; i < 5; ++i) {
    auto id = static_cast<WindowId>(i);
    children_[Index(id)]->setGeometry(DefaultChildRect(id, size));
  }
  placing_ = false;
  // Save Positions stores whatever arrangement is on the screen.
  for (int i = 0; i < 5; ++i) SyncChild(static_cast<WindowId>(i));
}

void MainFrame::SyncChild(WindowId id) {
  if (!app_ || !created_) return;
  Rect& stored = StoredRect(app_->WindowPositions(), id);
  QRect now = children_[Index(id)]->geometry();
  // Only a real change is written back, so twips that are no whole pixel
  // survive a run in which the window did not move.
  if (stored.left == kNoStoredLeft || TwipsToPixels(stored) != now) stored = PixelsToTwips(now);
}

void MainFrame::SyncFrame() {
  if (!app_ || !created_ || placing_) return;
  Rect& stored = app_->WindowPositions().frame;
  if (isMaximized() || isFullScreen()) {
    if (stored.width != 0) stored = Rect{};
    return;
  }
  if (isMinimized()) return;
  QRect now(frameGeometry().topLeft(), size());
  if (TwipsToPixels(stored) != now) stored = PixelsToTwips(now);
}

void MainFrame::OnActivated(QMdiSubWindow* sub) {
  if (!app_ || !created_ || placing_ || !sub) return;
  for (int i = 0; i < 5; ++i) {
    if (children_[static_cast<std::size_t>(i)] != sub) continue;
    // The active window is the top of the stack: last in the order.
    auto& order = app_->WindowPositions().order;
    int code = OrderCodeOf(static_cast<WindowId>(i));
    std::vector<int> rest;
    for (int c : order) {
      if (c != code) rest.push_back(c);
    }
    rest.push_back(code);
    if (rest.size() == order.size()) std::copy(rest.begin(), rest.end(), order.begin());
  }
}

bool MainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_->viewport()) {
    if (event->type() == QEvent::Resize && defaultLayout_ && !userArranged_) ApplyDefaultLayout();
    return QMainWindow::eventFilter(watched, event);
  }
  for (int i = 0; i < 5; ++i) {
    if (watched != children_[static_cast<std::size_t>(i)]) continue;
    switch (event->type()) {
      case QEvent::Close:
        // The five windows live as long as the frame.
        if (!closingFrame_) {
          event->ignore();
          return true;
        }
        break;
      case QEvent::Move:
      case QEvent::Resize:
        if (!placing_ && created_) {
          userArranged_ = true;
          SyncChild(static_cast<WindowId>(i));
        }
        break;
      default:
        break;
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainFrame::closeEvent(QCloseEvent* event) {
  closingFrame_ = true;
  if (app_ && !app_->Closed()) app_->Close();
  splash_->hide();
  event->accept();
}

void MainFrame::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange && app_) {
    app_->Frame().SetMinimised(isMinimized());
    SyncFrame();
  }
}

void MainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  SyncFrame();
}

void MainFrame::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  SyncFrame();
}

}  // namespace qn
