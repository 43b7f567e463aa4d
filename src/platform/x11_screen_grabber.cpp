#include "platform/x11_screen_grabber.h"

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

// Xlib's macros (None, Bool, Status, ...) stay out of the Qt headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xfixes.h>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace pelko {

namespace {

const char* const kNoDisplay =
    "Screen capture needs an X11 display, and this program runs without one (DISPLAY is not set).";
const char* const kWaylandOnly =
    "Screen capture needs an X11 display: this is a Wayland session without an X server, and Wayland "
    "does not let programs grab the screen.";
const char* const kRefused = "The desktop refused the screen grab: it gave an empty picture.";
const char* const kBlackedOut =
    "The desktop refused the screen grab: it gave only black (an X server inside a Wayland session "
    "cannot see the other programs' windows).";

bool allBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((row[x] & 0xFFFFFF) != 0)
                return false;
    }
    return true;
}

// 32-bit pixels of 8-bit red, green and blue in this byte order: the kind
// copied below.
bool usualPixels(const XImage* image)
{
    return image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
           image->blue_mask == 0xFF && image->byte_order == LSBFirst;
}

void copyRows(const XImage* image, int w, int h, Picture& picture, int dx, int dy)
{
    for (int row = 0; row < h; ++row) {
        const auto* src = reinterpret_cast<const std::uint8_t*>(image->data) +
                          std::size_t(row) * std::size_t(image->bytes_per_line);
        std::uint8_t* out = picture.row(dy + row) + std::size_t(dx) * 3;
        for (int col = 0; col < w; ++col) {  // B, G, R, unused
            out[3 * col] = src[4 * col];
            out[3 * col + 1] = src[4 * col + 1];
            out[3 * col + 2] = src[4 * col + 2];
        }
    }
}

int grabErrors = 0;
extern "C" int countGrabError(::Display*, XErrorEvent*)
{
    ++grabErrors;
    return 0;
}

// The root window's pixels of (x, y, w, h) into picture at (dx, dy), read
// straight from the X server in its device pixels. False where the server's
// pixels are not 32 bits of 8-bit red, green and blue, or the read failed.
bool readRoot(::Display* d, int x, int y, int w, int h, Picture& picture, int dx, int dy)
{
    grabErrors = 0;
    XErrorHandler before = XSetErrorHandler(countGrabError);
    XImage* image = XGetImage(d, DefaultRootWindow(d), x, y, unsigned(w), unsigned(h), AllPlanes, ZPixmap);
    XSync(d, False);
    XSetErrorHandler(before);
    if (!image)
        return false;
    const bool usable = grabErrors == 0 && usualPixels(image) && image->width >= w && image->height >= h;
    if (usable)
        copyRows(image, w, h, picture, dx, dy);
    XDestroyImage(image);
    return usable;
}

bool blackPicture(const Picture& p)
{
    return std::all_of(p.data(), p.data() + p.byteSize(), [](std::uint8_t v) { return v == 0; });
}

}  // namespace

std::string screenCaptureUnavailableReason(const std::string& platformName)
{
    if (platformName == "xcb")
        return {};
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland && *wayland && !(display && *display))
        return kWaylandOnly;
    if (!(display && *display))
        return kNoDisplay;
    return "Screen capture needs the program to run on the X11 display (it runs on \"" + platformName +
           "\"); start it with QT_QPA_PLATFORM=xcb.";
}

std::unique_ptr<QGuiApplication> x11CaptureApplication(std::string& why)
{
    if (QCoreApplication::instance())
        return nullptr;
    why = screenCaptureUnavailableReason("");
    const char* display = std::getenv("DISPLAY");
    if (!(display && *display))
        return nullptr;
    ::Display* probe = XOpenDisplay(nullptr);
    if (!probe) {
        why = std::string("Screen capture needs an X11 display, and the display ") + display +
              " cannot be reached.";
        return nullptr;
    }
    XCloseDisplay(probe);
    why.clear();
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt's notes about the environment are not the command's business
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "pelko-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The connection of our own, and a picture in memory shared with the X
// server (MIT-SHM): the server copies the pixels straight into it, which is
// several times faster than sending them over the connection. It is made
// for the area's size at the first grab and again when the size changes.
struct X11ScreenGrabber::Display {
    ::Display* x = nullptr;
    bool fixes = false;
    bool shm = false;  // the server shares memory with us (until it fails)
    XShmSegmentInfo segment{};
    XImage* image = nullptr;

    ~Display()
    {
        dropShared();
        if (x)
            XCloseDisplay(x);
    }

    void dropShared()
    {
        if (!image)
            return;
        XShmDetach(x, &segment);
        XSync(x, False);
        XDestroyImage(image);
        shmdt(segment.shmaddr);
        image = nullptr;
    }

    bool makeShared(int w, int h)
    {
        if (image && image->width == w && image->height == h)
            return true;
        dropShared();
        const int screen = DefaultScreen(x);
        image = XShmCreateImage(x, DefaultVisual(x, screen), unsigned(DefaultDepth(x, screen)), ZPixmap,
                                nullptr, &segment, unsigned(w), unsigned(h));
        if (!image)
            return false;
        segment.shmid =
            shmget(IPC_PRIVATE, std::size_t(image->bytes_per_line) * std::size_t(h), IPC_CREAT | 0600);
        segment.shmaddr = segment.shmid < 0 ? reinterpret_cast<char*>(-1)
                                            : static_cast<char*>(shmat(segment.shmid, nullptr, 0));
        if (segment.shmaddr == reinterpret_cast<char*>(-1)) {
            if (segment.shmid >= 0)
                shmctl(segment.shmid, IPC_RMID, nullptr);
            XDestroyImage(image);
            image = nullptr;
            return false;
        }
        image->data = segment.shmaddr;
        segment.readOnly = False;
        grabErrors = 0;
        XErrorHandler before = XSetErrorHandler(countGrabError);
        const bool attached = XShmAttach(x, &segment) && (XSync(x, False), grabErrors == 0);
        XSetErrorHandler(before);
        // gone by itself once both sides have let go
        shmctl(segment.shmid, IPC_RMID, nullptr);
        if (!attached) {
            XDestroyImage(image);
            shmdt(segment.shmaddr);
            image = nullptr;
            return false;
        }
        return true;
    }

    // The root window's pixels of (rx, ry, w, h) into picture at (dx, dy).
    // False where shared memory cannot be used.
    bool readShared(int rx, int ry, int w, int h, Picture& picture, int dx, int dy)
    {
        if (!shm)
            return false;
        if (!makeShared(w, h) || !usualPixels(image)) {
            dropShared();
            shm = false;
            return false;
        }
        grabErrors = 0;
        XErrorHandler before = XSetErrorHandler(countGrabError);
        const bool read = XShmGetImage(x, DefaultRootWindow(x), image, rx, ry, AllPlanes) && grabErrors == 0;
        XSetErrorHandler(before);
        if (!read)
            return false;
        copyRows(image, w, h, picture, dx, dy);
        return true;
    }
};

X11ScreenGrabber::X11ScreenGrabber() : display_(std::make_unique<Display>())
{
    const std::string platform = QGuiApplication::platformName().toStdString();
    if (const std::string why = screenCaptureUnavailableReason(platform); !why.empty())
        throw ScreenGrabError(why);
    screen_ = QGuiApplication::primaryScreen();
    if (!screen_)
        throw ScreenGrabError(kNoDisplay);
    // A connection of our own for XFixes: the cursor is asked for between
    // grabs, never from two threads at once.
    display_->x = XOpenDisplay(nullptr);
    int event = 0, error = 0;
    display_->fixes = display_->x && XFixesQueryExtension(display_->x, &event, &error);
    display_->shm = display_->x && XShmQueryExtension(display_->x);
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    blacksOut_ = wayland && *wayland;
}

X11ScreenGrabber::~X11ScreenGrabber() = default;

DesktopSize X11ScreenGrabber::desktopSize()
{
    const QRect g = screen_->geometry();
    const qreal ratio = screen_->devicePixelRatio();
    return {int(g.width() * ratio), int(g.height() * ratio)};
}

Picture X11ScreenGrabber::grab(int left, int top, int width, int height)
{
    Picture picture(width, height);
    picture.fill(0);
    // (from the connection of our own where there is one: a recording grabs
    // on a thread of its own, away from Qt's screen)
    const DesktopSize desktop = display_->x
                                    ? DesktopSize{DisplayWidth(display_->x, DefaultScreen(display_->x)),
                                                  DisplayHeight(display_->x, DefaultScreen(display_->x))}
                                    : desktopSize();
    // the part of the area on the desktop; the rest stays black
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min(desktop.width, left + width), y1 = std::min(desktop.height, top + height);
    if (x1 <= x0 || y1 <= y0)
        return picture;
    // Memory shared with the server first: fast, in device pixels, and on
    // any thread.
    if (display_->x && display_->readShared(x0, y0, x1 - x0, y1 - y0, picture, x0 - left, y0 - top)) {
        if (blacksOut_ && blackPicture(picture))
            throw ScreenGrabError(kBlackedOut);
        return picture;
    }
    // On a scaled screen Qt's grab takes logical pixels and cannot address
    // every device pixel: there the pixels are read straight from the
    // server (where they are the usual kind).
    const qreal ratio = screen_->devicePixelRatio();
    if (ratio != 1 && display_->x &&
        readRoot(display_->x, x0, y0, x1 - x0, y1 - y0, picture, x0 - left, y0 - top)) {
        if (blacksOut_ && blackPicture(picture))
            throw ScreenGrabError(kBlackedOut);
        return picture;
    }
    // Qt takes the grab's place in the screen's logical pixels and hands
    // back device pixels.
    const QPixmap pixmap = screen_->grabWindow(0, int(x0 / ratio), int(y0 / ratio), int((x1 - x0) / ratio),
                                               int((y1 - y0) / ratio));
    if (pixmap.isNull())
        throw ScreenGrabError(kRefused);
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    if (image.isNull())
        throw ScreenGrabError(kRefused);
    if (blacksOut_ && allBlack(image))
        throw ScreenGrabError(kBlackedOut);
    const int w = std::min(image.width(), x1 - x0), h = std::min(image.height(), y1 - y0);
    for (int y = 0; y < h; ++y) {
        const QRgb* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* dst = picture.row(y0 - top + y) + std::size_t(x0 - left) * 3;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = std::uint8_t(qBlue(src[x]));
            dst[3 * x + 1] = std::uint8_t(qGreen(src[x]));
            dst[3 * x + 2] = std::uint8_t(qRed(src[x]));
        }
    }
    return picture;
}

std::optional<CursorImage> X11ScreenGrabber::cursor()
{
    if (!display_->fixes)
        return std::nullopt;
    XFixesCursorImage* image = XFixesGetCursorImage(display_->x);
    if (!image)
        return std::nullopt;
    CursorImage c;
    if (image->width > 0 && image->height > 0) {
        c.picture = Picture(image->width, image->height);
        c.alpha.resize(std::size_t(image->width) * image->height);
        for (int y = 0; y < image->height; ++y)
            for (int x = 0; x < image->width; ++x) {
                // 32-bit ARGB in a long, its colour premultiplied by alpha
                const unsigned long p = image->pixels[std::size_t(y) * image->width + std::size_t(x)];
                const unsigned a = (p >> 24) & 0xFF;
                const auto straight = [a](unsigned v) {
                    return std::uint8_t(a ? std::min(255u, v * 255 / a) : 0);
                };
                c.alpha[std::size_t(y) * image->width + std::size_t(x)] = std::uint8_t(a);
                c.picture.setPixel(
                    x, y, rgb(straight((p >> 16) & 0xFF), straight((p >> 8) & 0xFF), straight(p & 0xFF)));
            }
    }
    c.hotX = image->xhot;
    c.hotY = image->yhot;
    c.x = image->x;
    c.y = image->y;
    XFree(image);
    return c;
}

}  // namespace pelko
