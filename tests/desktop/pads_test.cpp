// The tutorial, help, utility-menu and note windows of the program drawn by
// the renderer: their widgets, the web view on a page served on the loopback
// address, and the note window used with the mouse and the keyboard.
// With TALLOWMARK_SHOTS set, each window's picture is kept there.
#include <QHostAddress>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <filesystem>

#include "platform/desktop/assets.h"
#include "platform/desktop/web_view.h"
#include "program.h"
#include "program_fixture.h"
#include "support/fixture.h"

namespace tallow::desktop::testing {
namespace {

using namespace tallow::testing;

// A small web server on the loopback address: "/tutorial/" is a page, every
// other path is not found. A silent one takes requests and never answers.
class LoopbackServer {
 public:
  bool silent = false;
  LoopbackServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* socket = server_.nextPendingConnection()) {
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket] {
          ++hangUps;
          socket->deleteLater();
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { Answer(socket); });
      }
    });
  }
  std::string Site() const { return "http://127.0.0.1:" + std::to_string(server_.serverPort()); }
  std::vector<std::string> paths;
  int hangUps = 0;  // connections the other side closed

 private:
  void Answer(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n")) return;
    const QByteArray path = request.split(' ').value(1);
    paths.push_back(path.toStdString());
    if (silent) return;
    const bool found = path == "/tutorial/";
    const QByteArray body = found ? "<html><body><h1>Getting started with Tallowmark</h1></body></html>"
                                  : "<html><body>gone</body></html>";
    socket->write((found ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 404 Not Found\r\n") +
                  QByteArray("Content-Type: text/html\r\nConnection: close\r\nContent-Length: ") +
                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket->disconnectFromHost();
  }
  QTcpServer server_;
};

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
