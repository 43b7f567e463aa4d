#include "platform/portal_screen_grabber.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QEventLoop>
#include <QObject>
#include <QTimer>
#include <QVariantMap>
#include <cstdlib>

#include "platform/pipewire_frames.h"

namespace pelko {

namespace {

const char* const kService = "org.freedesktop.portal.Desktop";
const char* const kPath = "/org/freedesktop/portal/desktop";
const char* const kScreenCast = "org.freedesktop.portal.ScreenCast";
const char* const kRequest = "org.freedesktop.portal.Request";

const char* const kNoBus =
    "Screen capture through the desktop portal needs a session bus, and there is none.";
const char* const kCancelled = "Screen capture was cancelled in the desktop's dialog.";
const char* const kRefused = "The desktop refused to share the screen.";
const char* const kNoAnswer = "The desktop portal did not answer the request to share the screen.";
const char* const kNoStream = "The desktop portal shared no screen.";
const char* const kNoFirstFrame = "The shared screen gave no picture.";

// A portal's answer to one request (its Response signal).
class ResponseWaiter : public QObject {
    Q_OBJECT
public:
    bool answered = false;
    uint code = 2;
    QVariantMap results;
    QEventLoop loop;

public slots:
    void response(uint c, const QVariantMap& r)
    {
        answered = true;
        code = c;
        results = r;
        loop.quit();
    }
};

QString text(const QVariant& v)
{
    return v.canConvert<QDBusObjectPath>() && v.userType() == qMetaTypeId<QDBusObjectPath>()
               ? v.value<QDBusObjectPath>().path()
               : v.toString();
}

class Portal {
public:
    explicit Portal(const PortalOptions& options) : bus_(QDBusConnection::sessionBus()), options_(options)
    {
        if (!bus_.isConnected())
            throw ScreenGrabError(kNoBus);
    }

    // Calls method with args and the options (given a handle token), and
    // waits for the request's Response. Throws ScreenGrabError.
    QVariantMap request(const QString& method, QVariantList args, QVariantMap options, int timeoutMs)
    {
        static int counter = 0;
        const QString token = QString("pelko%1_%2").arg(::getpid()).arg(++counter);
        options.insert("handle_token", token);
        QString sender = bus_.baseService().mid(1);
        sender.replace('.', '_');
        const QString path = QString("%1/request/%2/%3").arg(kPath, sender, token);
        ResponseWaiter waiter;
        // listened for before the call, so that no answer is missed
        bus_.connect(kService, path, kRequest, "Response", &waiter, SLOT(response(uint, QVariantMap)));
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kScreenCast, method);
        args << options;
        call.setArguments(args);
        const QDBusMessage reply = bus_.call(call, QDBus::Block, options_.answerTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            bus_.disconnect(kService, path, kRequest, "Response", &waiter, SLOT(response(uint, QVariantMap)));
            throw ScreenGrabError(callError(reply));
        }
        // an older portal answers on a path of its own choice
        const QString handle = reply.arguments().isEmpty() ? path : text(reply.arguments().first());
        if (handle != path && !handle.isEmpty())
            bus_.connect(kService, handle, kRequest, "Response", &waiter, SLOT(response(uint, QVariantMap)));
        if (!waiter.answered) {
            QTimer::singleShot(timeoutMs, &waiter.loop, &QEventLoop::quit);
            waiter.loop.exec();
        }
        bus_.disconnect(kService, path, kRequest, "Response", &waiter, SLOT(response(uint, QVariantMap)));
        if (handle != path)
            bus_.disconnect(kService, handle, kRequest, "Response", &waiter,
                            SLOT(response(uint, QVariantMap)));
        if (!waiter.answered)
            throw ScreenGrabError(kNoAnswer);
        if (waiter.code == 1)
            throw ScreenGrabError(kCancelled);
        if (waiter.code != 0)
            throw ScreenGrabError(kRefused);
        return waiter.results;
    }

    // A connection to PipeWire for the session (closed by the caller).
    int openPipeWireRemote(const QString& session)
    {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kService, kPath, kScreenCast, "OpenPipeWireRemote");
        call.setArguments({QVariant::fromValue(QDBusObjectPath(session)), QVariantMap()});
        const QDBusMessage reply = bus_.call(call, QDBus::Block, options_.answerTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage)
            throw ScreenGrabError(callError(reply));
        const auto fd = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
        const int own = fd.isValid() ? ::fcntl(fd.fileDescriptor(), F_DUPFD_CLOEXEC, 3) : -1;
        if (own < 0)
            throw ScreenGrabError("The desktop portal gave no connection to PipeWire.");
        return own;
    }

    void close(const QString& session)
    {
        if (session.isEmpty())
            return;
        bus_.send(
            QDBusMessage::createMethodCall(kService, session, "org.freedesktop.portal.Session", "Close"));
    }

private:
    static std::string callError(const QDBusMessage& reply)
    {
        const QString name = reply.errorName();
        if (name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
            name == "org.freedesktop.DBus.Error.UnknownMethod" ||
            name == "org.freedesktop.DBus.Error.UnknownInterface" ||
            name == "org.freedesktop.DBus.Error.UnknownObject" ||
            name == "org.freedesktop.DBus.Error.NameHasNoOwner")
            return "Screen capture needs the desktop portal's screen sharing "
                   "(org.freedesktop.portal.ScreenCast), "
                   "and this desktop has none: " +
                   reply.errorMessage().toStdString();
        return "The desktop portal refused the screen capture: " + reply.errorMessage().toStdString();
    }

    QDBusConnection bus_;
    PortalOptions options_;
};

// The first stream's PipeWire node of Start's results.
bool firstNode(const QVariantMap& results, std::uint32_t& node)
{
    const QVariant streams = results.value("streams");
    if (!streams.canConvert<QDBusArgument>())
        return false;
    const QDBusArgument arg = streams.value<QDBusArgument>();
    bool found = false;
    arg.beginArray();
    while (!arg.atEnd()) {
        uint id = 0;
        QVariantMap properties;
        arg.beginStructure();
        arg >> id >> properties;
        arg.endStructure();
        if (!found) {
            node = id;
            found = true;
        }
    }
    arg.endArray();
    return found;
}

}  // namespace

PortalScreenGrabber::PortalScreenGrabber(const PortalOptions& options)
{
    Portal portal(options);
    const QVariantMap created =
        portal.request("CreateSession", {}, {{"session_handle_token", QString("pelko%1").arg(::getpid())}},
                       options.answerTimeoutMs);
    const QString session = text(created.value("session_handle"));
    if (session.isEmpty())
        throw ScreenGrabError(kRefused);
    sessionPath_ = session.toStdString();
    try {
        QVariantMap select{{"types", uint(1)},  // a monitor
                           {"multiple", false},
                           {"cursor_mode", uint(options.withCursor ? 2 : 1)},  // embedded : hidden
                           {"persist_mode", uint(2)}};  // until the permission is taken back
        if (!options.restoreToken.empty())
            select.insert("restore_token", QString::fromStdString(options.restoreToken));
        portal.request("SelectSources", {QVariant::fromValue(QDBusObjectPath(session))}, select,
                       options.answerTimeoutMs);
        const QVariantMap started =
            portal.request("Start", {QVariant::fromValue(QDBusObjectPath(session)), QString()}, {},
                           options.consentTimeoutMs);
        restoreToken_ = started.value("restore_token").toString().toStdString();
        std::uint32_t node = 0;
        if (!firstNode(started, node))
            throw ScreenGrabError(kNoStream);
        frames_ = std::make_unique<PipeWireFrames>(portal.openPipeWireRemote(session), node);
        if (!frames_->waitForFrame(options.answerTimeoutMs))
            throw ScreenGrabError(frames_->ended() ? "The shared screen's stream has ended." : kNoFirstFrame);
    } catch (...) {
        frames_.reset();
        portal.close(session);
        throw;
    }
}

PortalScreenGrabber::~PortalScreenGrabber()
{
    frames_.reset();
    if (QDBusConnection::sessionBus().isConnected())
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            kService, QString::fromStdString(sessionPath_), "org.freedesktop.portal.Session", "Close"));
}

DesktopSize PortalScreenGrabber::desktopSize()
{
    return frames_->size();
}

Picture PortalScreenGrabber::grab(int left, int top, int width, int height)
{
    return frames_->grab(left, top, width, height);
}

bool usePortalGrabber(const std::string& choice)
{
    if (choice == "portal")
        return true;
    if (choice == "x11")
        return false;
    const auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    return env("XDG_SESSION_TYPE") == "wayland" ||
           (!env("WAYLAND_DISPLAY").empty() && env("DISPLAY").empty());
}

}  // namespace pelko

#include "portal_screen_grabber.moc"
