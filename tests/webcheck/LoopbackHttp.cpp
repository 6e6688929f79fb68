#include "LoopbackHttp.h"

LoopbackHttp::LoopbackHttp()
    : m_server([this](const QByteArray &path) {
          const auto page = m_pages.constFind(path);
          const QByteArray type = "text/html; charset=windows-1252";
          return page != m_pages.cend() ? LoopbackHttpServer::response("200 OK", *page, type)
                                        : LoopbackHttpServer::response("404 Not Found", "not found", type);
      }) {
}

QString LoopbackHttp::address(const QByteArray &path) const {
    return QStringLiteral("127.0.0.1:%1").arg(m_server.port()) + QString::fromLatin1(path);
}
