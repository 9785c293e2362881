#include "app/screens.h"

#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>

#include "app/menus.h"
#include "context.h"
#include "shell/function_codes.h"

namespace trelmo::app {

namespace {

QMenu* screenMenu(QMenuBar* bar) {
  for (QAction* top : bar->actions())
    if (top->menu())
      if (QAction* first = findAction(top->menu(), kScreenBox)) return qobject_cast<QMenu*>(first->parent());
  return nullptr;
}

}  // namespace

void describeScreens(Context& ctx) {
  ctx.shell.screens.clear();
  for (QScreen* s : QGuiApplication::screens()) {
    const QRect g = s->geometry();
    ctx.shell.screens.push_back(s->name().toStdString() + " " + std::to_string(g.width()) + "x" +
                                std::to_string(g.height()) + " at " + std::to_string(g.x()) + "," +
                                std::to_string(g.y()));
  }
}

void addScreenEntries(QMenuBar* bar, const Context& ctx) {
  QMenu* menu = screenMenu(bar);
  if (!menu) return;
  const int last = static_cast<int>(std::min<size_t>(ctx.shell.screens.size(), kLastScreen - kScreenBox + 1));
  for (int n = 1; n < last; ++n) {
    if (findAction(menu, static_cast<uint16_t>(kScreenBox + n))) continue;
    QAction* a = menu->addAction("Screen &" + QString::number(n));
    a->setData(static_cast<uint>(kScreenBox + n));
  }
  markScreen(bar, ctx.shell.screenIndex);
}

void markScreen(QMenuBar* bar, int n) {
  QMenu* menu = screenMenu(bar);
  if (!menu) return;
  for (QAction* a : menu->actions()) {
    const int id = static_cast<int>(a->data().toUInt()) - kScreenBox;
    a->setCheckable(true);
    a->setChecked(id == n);
  }
}

QRect screenGeometry(int n) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (n >= 0 && n < screens.size()) return screens[n]->geometry();
  QScreen* primary = QGuiApplication::primaryScreen();
  return primary ? primary->geometry() : QRect(0, 0, 1024, 768);
}

bool moveToScreen(QWidget* window, int n) {
  const QList<QScreen*> screens = QGuiApplication::screens();
  if (n < 0 || n >= screens.size()) return false;
  const QRect from = window->screen() ? window->screen()->geometry() : screenGeometry(0);
  const QRect to = screens[n]->geometry();
  const bool maximised = window->isMaximized();
  if (maximised) window->showNormal();
  window->move(window->pos() - from.topLeft() + to.topLeft());
  if (maximised) window->showMaximized();
  return true;
}

}  // namespace trelmo::app
