// Any bytes a server may answer with, to the history's GET and to the send's POST: each exchange
// ends, a POST reaches the server exactly once, a GET counts as an answer only with a 2xx status
// and an uncompressed body within its cap, and the POST reads the same status as the GET
// wherever the GET read a head.
#include "CurlReply.h"
#include "FuzzCheck.h"
#include "NetworkAccess.h"
#include "ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <memory>

namespace {
constexpr qint64 cap = 4096;

std::unique_ptr<CurlReply> exchange(CurlReply* started)
{
    std::unique_ptr<CurlReply> reply(started);
    QEventLoop loop;
    QObject::connect(reply.get(), &CurlReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();
    return reply;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_http";
    static char* argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);

    const QByteArray answer(reinterpret_cast<const char*>(data), qsizetype(size));
    const ScriptedHttpServer::Answer raw{.raw = answer};
    ScriptedHttpServer server({raw, raw});
    NetworkAccess network(std::chrono::milliseconds(500));

    const auto get = exchange(network.get(server.url(), cap));
    const QByteArray body = get->readAll();
    if (NetworkAccess::succeeded(*get)) {
        const int status = *get->status();
        FUZZ_CHECK(status >= 200 && status <= 299);
        FUZZ_CHECK(body.size() <= cap);
        FUZZ_CHECK(get->rawHeader("Content-Encoding").isEmpty() ||
                   get->rawHeader("Content-Encoding").trimmed().toLower() == "identity");
    }

    const auto post = exchange(network.postOnce(server.url(), "text/plain", "body"));
    FUZZ_CHECK(server.targets.size() == 2);
    if (const std::optional<int> status = get->status())
        FUZZ_CHECK(post->status() == status);
    return 0;
}
