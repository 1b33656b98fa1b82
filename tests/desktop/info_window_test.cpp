// The important-information window on real widgets: the program's own Form1a
// drawn by the renderer, read as a user reads it (every caption whole, no
// control over another).
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "platform/desktop/assets.h"
#include "program_fixture.h"

namespace tallow::desktop::testing {
namespace {

using tallow::testing::WriteFile;

class InfoWindowTest : public ProgramOnDesktop {
 protected:
  InfoWindowTest() {
    WriteFile(InFolder("settings.dat"), "1:\r\n0:\r\n[END]\r\n");
    WriteFile(InFolder("data2.txx"), "Alarm code\r\n4711\r\n");
  }
};

// The width a control's caption needs, with the margins its widget draws around it.
int Needed(QWidget* widget) {
  if (auto* box = dynamic_cast<QGroupBox*>(widget))
    return QFontMetrics(box->font()).horizontalAdvance(box->title()) + 16;
  if (auto* button = dynamic_cast<QPushButton*>(widget))
    return QFontMetrics(button->font()).horizontalAdvance(button->text()) + 12;
  return widget->sizeHint().width();
}

TEST_F(InfoWindowTest, BothPanesDrawnWholeWithTheBannerBetweenClearAndClose) {
  desk::Form1a& w = Show(app.Form1a);
  QWidget* window = Widget(w);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(window->windowIcon().isNull());
  EXPECT_EQ(Widget<QGroupBox>(w.Frame1)->title(), "View Important Information");
  EXPECT_EQ(Widget<QGroupBox>(w.Frame2)->title(), "Add New Information");
  EXPECT_EQ(Widget<QLabel>(w.Image5)->pixmap().toImage(), AssetPixmap("banner").toImage());

  // Every control inside its container, no two over each other, every caption whole.
  for (Control* c : w.Controls()) {
    QWidget* widget = desktop.windows.WidgetOf(*c);
    if (!widget || !c->Visible()) continue;
    EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry())) << c->Name();
    if (c->Kind() != ControlKind::TextBox && c->Kind() != ControlKind::ListBox && c->Kind() != ControlKind::Image) {
      EXPECT_LE(Needed(widget), widget->width()) << c->Name();
    }
    for (Control* d : w.Controls()) {
      QWidget* other = desktop.windows.WidgetOf(*d);
      if (d == c || !other || !d->Visible() || other->parentWidget() != widget->parentWidget()) continue;
      EXPECT_FALSE(widget->geometry().intersects(other->geometry())) << c->Name() << " over " << d->Name();
    }
  }
  auto centreX = [&](const Control& c) { return Widget(c)->geometry().center().x(); };
  EXPECT_LT(centreX(w.Command2), centreX(w.Image5));
  EXPECT_LT(centreX(w.Image5), centreX(w.Command3));
  Shot(w, "info-window");
}

}  // namespace
}  // namespace tallow::desktop::testing
