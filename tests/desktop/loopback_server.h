// A small web server on the loopback address, for the tests and benchmarks
// of the web view.
#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tallow::desktop::testing {

// A small web server on the loopback address: "/tutorial/" is a page, a path
// given an answer of its own gets that, every other path is not found. A
// silent one takes requests and never answers.
class LoopbackServer {
 public:
  bool silent = false;
  std::map<QByteArray, std::function<void(QTcpSocket&)>> answers;
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

  static void Send(QTcpSocket& socket, const QByteArray& status, const QByteArray& type, const QByteArray& body) {
    socket.write("HTTP/1.1 " + status + "\r\nContent-Type: " + type +
                 "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
    socket.disconnectFromHost();
  }

 private:
  void Answer(QTcpSocket* socket) {
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    socket->setProperty("request", request);
    if (!request.contains("\r\n\r\n")) return;
    const QByteArray path = request.split(' ').value(1);
    paths.push_back(path.toStdString());
    if (silent) return;
    if (auto answer = answers.find(path); answer != answers.end()) return answer->second(*socket);
    if (path == "/tutorial/")
      Send(*socket, "200 OK", "text/html", "<html><body><h1>Getting started with Tallowmark</h1></body></html>");
    else
      Send(*socket, "404 Not Found", "text/html", "<html><body>gone</body></html>");
  }
  QTcpServer server_;
};

}  // namespace tallow::desktop::testing
