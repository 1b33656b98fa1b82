// A tiny text window for the typing tests: it takes the keyboard focus, then
// writes everything it holds to the file named on its command line whenever
// its text changes, and "ready" to that name plus ".ready" once it has the focus.
#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  const QString out = QString::fromLocal8Bit(argv[1]);
  QPlainTextEdit edit;
  edit.setWindowTitle("typesink");
  edit.resize(600, 300);
  QObject::connect(&edit, &QPlainTextEdit::textChanged, [&] {
    QSaveFile file(out);
    if (file.open(QIODevice::WriteOnly)) {
      file.write(edit.toPlainText().toUtf8());
      file.commit();
    }
  });
  edit.show();
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    edit.activateWindow();
    edit.setFocus();
    if (edit.isActiveWindow() && edit.hasFocus()) {
      QFile ready(out + ".ready");
      if (ready.open(QIODevice::WriteOnly)) ready.write("ready");
      poll.stop();
    }
  });
  poll.start(50);
  return app.exec();
}
