#include "app/menus.h"

#include <QMouseEvent>

#include "context.h"
#include "shell/messages.h"

namespace trelmo::app {

namespace {

uint16_t codeOf(const QAction* a) { return static_cast<uint16_t>(a->data().toUInt()); }

template <typename F>
void forEachAction(QMenu* menu, const F& f) {
  for (QAction* a : menu->actions()) {
    f(a);
    if (a->menu()) forEachAction(a->menu(), f);
  }
}

void wireHelpLines(QMenu* menu, Context& ctx) {
  QObject::connect(menu, &QMenu::hovered, menu, [&ctx](QAction* a) {
    if (const uint16_t code = codeOf(a)) showMenuHelp(ctx, MenuPlace::Item, 0, code);
  });
  for (QAction* a : menu->actions())
    if (a->menu()) wireHelpLines(a->menu(), ctx);
}

// Where a menu command came from: 3 after the mouse moved or clicked in the
// menus, 2 when they were worked from the keyboard.
class MenuInputSource : public QObject {
 public:
  MenuInputSource(Context& ctx, QObject* parent) : QObject(parent), ctx_(ctx) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
        ctx_.shell.lastInputSource = kFromMenuBar;
        break;
      case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        if (at != last_) ctx_.shell.lastInputSource = kFromMenuBar;
        last_ = at;
        break;
      }
      case QEvent::KeyPress:
        ctx_.shell.lastInputSource = kFromKeys;
        break;
      default:
        break;
    }
    return false;
  }

 private:
  Context& ctx_;
  QPoint last_;
};

void watchInputSource(QMenu* menu, QObject* filter) {
  menu->installEventFilter(filter);
  for (QAction* a : menu->actions())
    if (a->menu()) watchInputSource(a->menu(), filter);
}

// `source` < 0: the source of the last input in the menus.
void wireCommands(QMenu* menu, const MenuCommand& command, int source, Context& ctx) {
  QObject::connect(menu, &QMenu::triggered, menu, [command, source, &ctx](QAction* a) {
    // A submenu's own action and separators carry no command.
    if (a->menu() || a->isSeparator()) return;
    if (const uint16_t code = codeOf(a)) command(code, source < 0 ? ctx.shell.lastInputSource : source);
  });
}

}  // namespace

void fillMenu(QMenu* menu, std::span<const MenuItem> items) {
  for (const MenuItem& item : items) {
    if (item.separator()) {
      menu->addSeparator();
    } else if (item.isSubmenu()) {
      QMenu* sub = menu->addMenu(QString::fromUtf8(item.text));
      sub->menuAction()->setData(static_cast<uint>(item.code));
      fillMenu(sub, item.submenu);
    } else {
      QAction* a = menu->addAction(QString::fromUtf8(item.text));
      a->setData(static_cast<uint>(item.code));
    }
  }
}

QAction* findAction(QMenu* menu, uint16_t code) {
  for (QAction* a : menu->actions()) {
    if (!a->menu() && !a->isSeparator() && codeOf(a) == code) return a;
    if (a->menu())
      if (QAction* found = findAction(a->menu(), code)) return found;
  }
  return nullptr;
}

QAction* findItem(QMenu* menu, uint16_t code) {
  for (QAction* a : menu->actions()) {
    if (!a->isSeparator() && codeOf(a) == code) return a;
    if (a->menu())
      if (QAction* found = findItem(a->menu(), code)) return found;
  }
  return nullptr;
}

void applyMenuState(QMenu* menu, const std::vector<MenuItemState>& states) {
  forEachAction(menu, [&](QAction* a) {
    if (a->menu() || a->isSeparator()) return;
    for (const MenuItemState& s : states) {
      if (s.code != codeOf(a)) continue;
      a->setEnabled(s.enabled);
      a->setCheckable(s.checked || a->isCheckable());
      a->setChecked(s.checked);
      break;
    }
  });
}

void applyReopenTexts(QMenu* menu, const std::vector<std::string>& texts) {
  for (int i = 0; i < 10; ++i) {
    QAction* a = findAction(menu, fc('F', static_cast<char>('0' + i)));
    if (!a) continue;
    const bool used = i < static_cast<int>(texts.size());
    if (used) a->setText(QString::fromStdString(texts[i]));
    a->setVisible(used);
  }
}

void buildMenuBar(QMenuBar* bar, Context& ctx, const MenuCommand& command) {
  auto* source = new MenuInputSource(ctx, bar);
  bar->installEventFilter(source);
  const auto menus = menuBar();
  for (int position = 0; position < static_cast<int>(menus.size()); ++position) {
    const MenuItem& top = menus[position];
    QMenu* menu = bar->addMenu(QString::fromUtf8(top.text));
    menu->menuAction()->setData(static_cast<uint>(top.code));
    fillMenu(menu, top.submenu);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&ctx, menu, position] {
      applyMenuState(menu, updateMenuState(position, gatherMenuFacts(ctx)));
      if (position == 0) applyReopenTexts(menu, reopenMenuTexts(ctx));
      showMenuHelp(ctx, MenuPlace::MenuBarPopup, position, 0);
    });
    wireHelpLines(menu, ctx);
    watchInputSource(menu, source);
    wireCommands(menu, command, -1, ctx);
  }
}

QMenu* buildPopupMenu(int which, Context& ctx, const MenuCommand& command, QWidget* parent) {
  auto* menu = new QMenu(parent);
  const auto items = popupMenu(which);
  fillMenu(menu, items);
  // Positions count every entry of the popup, separators included.
  const QList<QAction*> actions = menu->actions();
  for (int position = 0; position < static_cast<int>(actions.size()); ++position) {
    if (QMenu* sub = actions[position]->menu()) {
      QObject::connect(sub, &QMenu::aboutToShow, sub, [&ctx, sub, which, position] {
        applyMenuState(sub, updatePopupState(which, position, gatherMenuFacts(ctx)));
        showMenuHelp(ctx, MenuPlace::PopupSubmenu, position, 0);
      });
    }
  }
  wireHelpLines(menu, ctx);
  wireCommands(menu, command, kFromKeys, ctx);
  return menu;
}

}  // namespace trelmo::app
