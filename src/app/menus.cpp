#include "app/menus.h"

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

void wireCommands(QMenu* menu, const MenuCommand& command, int source) {
  QObject::connect(menu, &QMenu::triggered, menu, [command, source](QAction* a) {
    // A submenu's own action and separators carry no command.
    if (a->menu() || a->isSeparator()) return;
    if (const uint16_t code = codeOf(a)) command(code, source);
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
    wireCommands(menu, command, kFromMenuBar);
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
  wireCommands(menu, command, kFromKeys);
  return menu;
}

}  // namespace trelmo::app
