// The tutorial, help, utility-menu and note windows of the program drawn by
// the renderer: their widgets, the web view on a page served on the loopback
// address, and the note window used with the mouse and the keyboard.
// With TALLOWMARK_SHOTS set, each window's picture is kept there.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <thread>

#include "desktop/loopback_server.h"
#include "platform/desktop/assets.h"
#include "platform/desktop/web_view.h"
#include "program.h"
#include "program_fixture.h"
#include "support/fixture.h"

namespace tallow::desktop::testing {
namespace {

using namespace tallow::testing;

// How many pixels of the web view are red.
int RedPixels(WebView* view) {
  const QImage shown = view->viewport()->grab().toImage();
  int pixels = 0;
  for (int y = 0; y < shown.height(); ++y)
    for (int x = 0; x < shown.width(); ++x) pixels += shown.pixel(x, y) == qRgb(255, 0, 0);
  return pixels;
}

// Quick Notes keeps its file in the current directory: a folder of its own here.
class PadsTest : public ProgramOnDesktop {
 protected:
  PadsTest() { env.cwd = cwd.path(); }

  bool OnTop(const Form& form) { return Widget(form)->windowFlags() & Qt::WindowStaysOnTopHint; }

  CurrentDir cwd;
};

TEST_F(PadsTest, TutorialShowsTheServedPageOnTopAndKeepsItsViewSize) {
  LoopbackServer server;
  app.SiteURL = server.Site() + "/";
  shell::Tutorial& w = Show(app.Tutorial);
  auto* view = Widget<WebView>(w.WebBrowser1);
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains("Getting started with Tallowmark"); }))
      << view->toPlainText().toStdString();
  EXPECT_EQ(server.paths, std::vector<std::string>{"/tutorial/"});
  EXPECT_EQ(Widget(w)->windowTitle().toStdString(), app.AppTitle);
  EXPECT_TRUE(OnTop(w));
  Shot(w, "tutorial");

  const QRect design = view->geometry();
  Widget(w)->resize(900, 600);
  QApplication::processEvents();
  EXPECT_EQ(Widget(w)->size(), QSize(900, 600));
  EXPECT_EQ(view->geometry(), design);
}

TEST_F(PadsTest, TutorialThatCannotBeReachedSaysWhereAndWhy) {
  LoopbackServer server;
  app.SiteURL = server.Site() + "/missing";  // an error status
  auto* view = Widget<WebView>(Show(app.Tutorial).WebBrowser1);
  const std::string address = server.Site() + "/missing/tutorial/";
  EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains("Not Found"); })) << view->toPlainText().toStdString();
  EXPECT_TRUE(view->toPlainText().contains(QString::fromStdString(address)));

  desktop.dispatch([&] { app.Tutorial.get()->Unload(); });
  app.SiteURL = "http://127.0.0.1:1";  // nothing listens there
  shell::Tutorial& w = Show(app.Tutorial);
  view = Widget<WebView>(w.WebBrowser1);
  EXPECT_TRUE(WaitFor([&] { return view->toPlainText().contains("refused"); })) << view->toPlainText().toStdString();
  EXPECT_TRUE(view->toPlainText().contains("http://127.0.0.1:1/tutorial/"));
  Shot(w, "tutorial-unreachable");
}

TEST_F(PadsTest, ViewGivesUpOnASilentServerAndMayCloseWhileItWaits) {
  LoopbackServer server;
  server.silent = true;
  app.SiteURL = server.Site();
  Show(app.Tutorial);
  ASSERT_TRUE(WaitFor([&] { return !server.paths.empty(); }));
  desktop.dispatch([&] { app.Tutorial.get()->Unload(); });
  EXPECT_FALSE(app.Tutorial.IsLoaded());
  // Its widget goes on the next turn of the event loop, and its request with it.
  EXPECT_TRUE(QTest::qWaitFor([&] { return server.hangUps == 1; })) << "the closed window still waits for its page";

  WebView view;
  view.SetTimeout(300);
  view.Navigate(QString::fromStdString(server.Site() + "/slow"));
  EXPECT_TRUE(view.toPlainText().contains("Opening"));  // never an empty window meanwhile
  EXPECT_TRUE(WaitFor([&] { return view.toPlainText().contains("did not answer"); }))
      << view.toPlainText().toStdString();
  EXPECT_TRUE(view.toPlainText().contains(QString::fromStdString(server.Site() + "/slow")));
}

// A page over http names local files as pictures and as a link: /dev/zero,
// which never ends, and a named pipe, whose reading waits for a writer. None
// is read or followed, and the page's own picture comes from its server.
TEST_F(PadsTest, ViewTakesPicturesFromTheWebOnlyAndFollowsNoLinkToAFile) {
  const std::string pipe = folder.path() + "/pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // Should the view open the pipe, this writer lets it go on, and tells.
  std::atomic<bool> ours{false}, openedByView{false};
  std::thread writer([&] {
    ::close(::open(pipe.c_str(), O_WRONLY));
    openedByView = !ours;
  });
  QImage red(40, 30, QImage::Format_RGB32);
  red.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  red.save(&buffer, "PNG");
  LoopbackServer server;
  const QByteArray page = "<html><body><h1>Pictures</h1><img src=\"file:///dev/zero\"><img src=\"" +
                          QByteArray::fromStdString(pipe) +
                          "\"><img src=\"red.png\"><a href=\"file:///etc/hostname\">a file</a></body></html>";
  server.answers["/tutorial/"] = [&](QTcpSocket& s) { LoopbackServer::Send(s, "200 OK", "text/html", page); };
  QPointer<QTcpSocket> pictureAsked;  // answered once the page shows without it
  server.answers["/tutorial/red.png"] = [&](QTcpSocket& s) { pictureAsked = &s; };
  app.SiteURL = server.Site();
  auto* view = Widget<WebView>(Show(app.Tutorial).WebBrowser1);
  const auto showsRed = [&] { return RedPixels(view) >= red.width() * red.height(); };  // in its own size
  ASSERT_TRUE(WaitFor([&] { return view->toPlainText().contains("Pictures") && pictureAsked; }))
      << view->toPlainText().toStdString();
  EXPECT_FALSE(showsRed());
  LoopbackServer::Send(*pictureAsked, "200 OK", "image/png", png);
  EXPECT_TRUE(WaitFor(showsRed));

  emit view->anchorClicked(QUrl("file:///etc/hostname"));
  QApplication::processEvents();
  EXPECT_TRUE(view->toPlainText().contains("Pictures")) << view->toPlainText().toStdString();

  ours = true;
  ::close(::open(pipe.c_str(), O_RDONLY | O_NONBLOCK));
  writer.join();
  EXPECT_FALSE(openedByView) << "the view opened a named pipe";
}

// A page larger than the view takes, or one that comes too slowly (a little at
// a time, so that it is never silent for long), is given up at its limit.
TEST_F(PadsTest, ViewGivesUpOnAPageTooLargeOrTooSlow) {
  LoopbackServer server;
  const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n";
  server.answers["/large"] = [&](QTcpSocket& s) {
    s.write(head + QByteArray(9 << 20, 'x'));
    s.disconnectFromHost();
  };
  server.answers["/trickle"] = [&](QTcpSocket& s) {
    s.write(head + "<p>");
    auto* drip = new QTimer(&s);
    QObject::connect(drip, &QTimer::timeout, &s, [&s] { s.write("x"); });
    drip->start(50);
  };
  WebView view;
  view.Navigate(QString::fromStdString(server.Site() + "/large"));
  EXPECT_TRUE(WaitFor([&] { return view.toPlainText().contains("larger than"); }))
      << view.toPlainText().left(200).toStdString();
  view.SetTimeout(1000);
  view.Navigate(QString::fromStdString(server.Site() + "/trickle"));
  EXPECT_TRUE(WaitFor([&] { return view.toPlainText().contains("did not answer"); }))
      << view.toPlainText().left(200).toStdString();
}

// Pages that would hold Qt's rich text engine up for seconds, or for ever
// (its layout never ends on a page taller than 8.4 million pixels), are not
// shown; ordinary ones are, to their end. A picture that such a page would
// show too tall is left out of it.
TEST_F(PadsTest, ViewShowsOnlyPagesItCanLayOutAtOnce) {
  struct Page {
    QByteArray path, type, body;
    QString shows;  // the text it shows; empty when it is refused
  };
  QByteArray tutorial = "<h1>Getting started</h1>";
  for (int i = 0; i < 300; ++i)
    tutorial += "<p>Press <b>F10</b> to open the <a href=send.html>Send Email</a> window.</p><ul><li>one<li>two</ul>"
                "<table border=1><tr><td><table><tr><td>a<td>b</table></td><td>c</td></tr></table>";
  const std::vector<Page> pages = {
      {"/padding", "text/html", "<table cellpadding=100000000><tr><td>x</td></tr></table>", {}},
      {"/margin", "text/html", "<p style='margin-top:9000000px'>x</p><p>y</p>", {}},
      {"/lines", "text/plain", QByteArray("x\n").repeated(700000), {}},
      {"/placeholders", "text/html", QByteArray("<img src=a.png width=5000000>").repeated(2), {}},
      {"/tables", "text/html", QByteArray("<table><tr><td>").repeated(20) + "x", {}},
      {"/divs", "text/html", QByteArray("<div>").repeated(20000) + "x", {}},
      {"/lists", "text/html", QByteArray("<ul><li>").repeated(12500) + "x", {}},
      {"/items", "text/html", "<ol>" + QByteArray("<li>x").repeated(50000), {}},
      {"/tutorial", "text/html", tutorial, "Getting started"},
      {"/notes", "text/plain", QByteArray("A line of plain notes.\n").repeated(20000), "plain notes"},
  };
  LoopbackServer server;
  for (const Page& p : pages)
    server.answers[p.path] = [&p](QTcpSocket& s) { LoopbackServer::Send(s, "200 OK", p.type, p.body); };
  WebView view;
  view.resize(700, 430);
  view.show();
  const auto refused = [&] { return view.toPlainText().contains("cannot be shown"); };
  for (const Page& p : pages) {
    view.Navigate(QString::fromStdString(server.Site()) + p.path);
    ASSERT_TRUE(WaitFor([&] { return !view.toPlainText().startsWith("Opening"); }, 30000)) << p.path.data();
    if (p.shows.isEmpty()) {
      EXPECT_TRUE(refused() && view.toPlainText().contains("too complex")) << p.path.data();
      continue;
    }
    EXPECT_TRUE(view.toPlainText().contains(p.shows)) << p.path.data();
    view.moveCursor(QTextCursor::End);  // laid out to its end
    EXPECT_GT(view.verticalScrollBar()->value(), 0) << p.path.data();
  }

  QByteArray tall, red;
  QBuffer tallBytes(&tall), redBytes(&red);
  tallBytes.open(QIODevice::WriteOnly);
  redBytes.open(QIODevice::WriteOnly);
  QImage narrow(10, 50000, QImage::Format_Mono);  // shown 2000 wide: 10 million pixels high
  narrow.fill(0);
  narrow.save(&tallBytes, "PNG");
  QImage small(40, 30, QImage::Format_RGB32);
  small.fill(Qt::red);
  small.save(&redBytes, "PNG");
  server.answers["/pictures"] = [](QTcpSocket& s) {
    LoopbackServer::Send(s, "200 OK", "text/html",
                         "<p>Before<p><img src=red.png><p><img src=tall.png width=2000><p>After");
  };
  bool tallSent = false;
  QPointer<QTcpSocket> redAsked;  // answered after the tall one
  server.answers["/tall.png"] = [&](QTcpSocket& s) {
    LoopbackServer::Send(s, "200 OK", "image/png", tall);
    tallSent = true;
    if (redAsked) LoopbackServer::Send(*redAsked, "200 OK", "image/png", red);
  };
  server.answers["/red.png"] = [&](QTcpSocket& s) {
    if (tallSent)
      LoopbackServer::Send(s, "200 OK", "image/png", red);
    else
      redAsked = &s;
  };
  view.Navigate(QString::fromStdString(server.Site()) + "/pictures");
  ASSERT_TRUE(WaitFor([&] { return RedPixels(&view) >= 40 * 30; }, 30000)) << view.toPlainText().toStdString();
  EXPECT_TRUE(view.toPlainText().contains("After"));
  EXPECT_LT(view.document()->size().height(), 10000);  // without the tall one
}

// Links and pictures: http and https only, and an https page never leads to plain http.
TEST(WebViewRefusal, OnlyTheWebAndNeverDownFromHttps) {
  const QUrl program, http("http://a.example/"), https("https://a.example/");
  EXPECT_TRUE(WebView::Refusal(program, http).isEmpty());
  EXPECT_TRUE(WebView::Refusal(http, https).isEmpty());
  EXPECT_TRUE(WebView::Refusal(https, https).isEmpty());
  EXPECT_FALSE(WebView::Refusal(https, http).isEmpty());
  for (const char* other : {"file:///etc/passwd", "/etc/passwd", "qrc:/assets/program.png", "data:text/html,hi"})
    EXPECT_FALSE(WebView::Refusal(http, QUrl(other)).isEmpty()) << other;
}

TEST_F(PadsTest, HelpClosesAndTheUtilityMenuLaunchesTheScratchPad) {
  shell::HelpMenu& help = Show(app.HelpMenu);
  Shot(help, "help");
  QTest::mouseClick(Widget(help.Command1), Qt::LeftButton);
  EXPECT_FALSE(app.HelpMenu.IsLoaded());

  utilities::UtilityBrowser& menu = Show(app.UtilityBrowser);
  // The descriptions fit their labels: nothing is cut off.
  for (Label* l : {&menu.Label2, &menu.Label3}) {
    auto* label = Widget<QLabel>(*l);
    EXPECT_LE(label->heightForWidth(label->width()), label->height()) << l->Name();
  }
  Shot(menu, "utility-menu");

  QTest::mouseClick(Widget(menu.Command1), Qt::LeftButton);
  utilities::TopPad& pad = *app.TopPad.get();
  EXPECT_TRUE(Widget(pad)->isVisible());
  EXPECT_FALSE(Widget(menu)->isVisible());
  EXPECT_TRUE(OnTop(pad));
  QTest::keyClicks(Widget(pad.Text1), "scratch");
  Shot(pad, "top-pad");
}

TEST_F(PadsTest, NoteWindowDrawsItsPictureAndItsButtonSaves) {
  tallow::testing::WriteFile(cwd.path() + "/data.txt", "Shopping\r\n");
  utilities::QuickNotes& w = Show(app.QuickNotes);
  EXPECT_EQ(Widget(w)->windowTitle(), "Quick Notes!");
  EXPECT_FALSE(OnTop(w));
  const QImage picture = AssetPixmap("quicknotes").toImage();
  ASSERT_EQ(picture.size(), Widget(w)->size());  // the whole window
  EXPECT_EQ(Widget<QLabel>(w.Image1)->pixmap().toImage(), picture);
  // The click area lies on the drawn button, whose colour is the picture's at its centre.
  const QRect area = Widget(w.Label1)->geometry();
  EXPECT_NE(picture.pixel(area.center()), picture.pixel(QPoint(200, 270)));
  EXPECT_NE(picture.pixel(area.center()), picture.pixel(QPoint(area.right() + 6, area.center().y())));

  auto* box = Widget<QPlainTextEdit>(w.Text1);
  EXPECT_EQ(box->toPlainText(), "Shopping\n");
  QTest::mouseClick(box, Qt::LeftButton);
  QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClicks(box, "milk");
  QTest::keyClick(box, Qt::Key_Return);
  QTest::keyClicks(box, "bread");
  Shot(w, "quick-notes");
  QTest::mouseClick(Widget(w.Label1), Qt::LeftButton);
  EXPECT_FALSE(app.QuickNotes.IsLoaded());
  EXPECT_EQ(tallow::testing::ReadFile(cwd.path() + "/data.txt"), "Shopping\r\nmilk\r\nbread\r\n");
}

}  // namespace
}  // namespace tallow::desktop::testing
