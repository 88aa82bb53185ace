// Both windows at the scale factors of common desktops. The scale must be set before the
// application object exists, so each one runs in a child process of this test, which reports
// what it laid out and saves what it drew.
#include "support/intro_fixture.h"

#include <QDir>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QProcess>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QString kChildFlag = u"--lay-out-into"_s;

// How wide the text comes out at the window's scale, in logical pixels: drawing at a scale
// uses the face at the scaled size, whose advances need not scale exactly.
qreal drawnWidth(const QFont& font, const QString& text, qreal scale) {
    QFont scaled = font;
    if (font.pixelSize() > 0)
        scaled.setPixelSize(qRound(font.pixelSize() * scale));
    else
        scaled.setPointSizeF(font.pointSizeF() * scale);
    const QFontMetricsF metrics(scaled);
    qreal widest = 0;
    for (const QString& line : text.split(QChar(13)))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest / scale;
}

QRect contentsOf(QWidget* widget, QStyle::SubElement element) {
    QStyleOptionButton option;
    option.initFrom(widget);
    return widget->style()->subElementRect(element, &option, widget);
}

// "<name> <room for the text>" for every control with a caption.
void reportCaptions(QTextStream& out, const ui::Form& form, qreal scale) {
    const auto caption = [&](const QString& name, const QFont& font, const QString& text,
                             int room) {
        out << "caption " << name << ' ' << room - drawnWidth(font, text, scale) << '\n';
    };
    for (const auto& control : form.controls()) {
        if (const auto* label = dynamic_cast<const ui::Label*>(control.get())) {
            caption(label->name(), label->font(), label->Caption(),
                    label->pixelRect().width() - (label->BorderStyle() == 1 ? 2 : 0));
        } else if (const auto* button = dynamic_cast<const ui::CommandButton*>(control.get())) {
            QWidget* w = button->widget();
            caption(button->name(), button->font(), button->Caption(),
                    contentsOf(w, QStyle::SE_PushButtonContents).width());
        } else if (const auto* option = dynamic_cast<const ui::OptionButton*>(control.get())) {
            QWidget* w = option->widget();
            caption(option->name(), option->font(), option->Caption(),
                    contentsOf(w, QStyle::SE_RadioButtonContents).width());
        } else if (const auto* frame = dynamic_cast<const ui::Frame*>(control.get())) {
            caption(frame->name(), frame->font(), frame->Caption(), frame->widget()->width());
        }
    }
}

void reportForm(QTextStream& out, const ui::Form& form, const QString& folder) {
    const qreal scale = form.widget()->devicePixelRatioF();
    const QPixmap picture = form.widget()->grab();
    picture.save(QDir(folder).filePath(form.name() + u".png"_s));
    out << "image " << form.name() << ' ' << picture.width() << ' ' << picture.height() << '\n';
    for (const auto& control : form.controls()) {
        if (const auto* windowed = dynamic_cast<const ui::Windowed*>(control.get())) {
            const QRect g = windowed->widget()->geometry();
            out << "widget " << windowed->name() << ' ' << g.x() << ' ' << g.y() << ' ' << g.width()
                << ' ' << g.height() << '\n';
        }
    }
    reportCaptions(out, form, scale);
}

// The child: both windows with the credits half rolled and a game started, every sign shown.
int layOut(int argc, char** argv) {
    QApplication application(argc, argv);
    app::applyLook();
    IntroFixture f;
    f.open();
    f.clock.advance(9000);
    QTextStream out(stdout);
    out << "scale " << f.intro.widget()->devicePixelRatioF() << '\n';
    reportForm(out, f.intro, QString::fromLocal8Bit(argv[2]));
    f.clickService();
    QTest::mouseClick(f.game.cmdstart->button(), Qt::LeftButton);
    for (ui::Label* sign : {f.game.Super, f.game.Good, f.game.Poor, f.game.CT, f.game.CN})
        sign->setVisible(true);
    // The widest combo count the level clear shows; the design's "00" never shows.
    f.game.CN->setCaption(u"80"_s);
    reportForm(out, f.game, QString::fromLocal8Bit(argv[2]));
    return 0;
}

struct Layout {
    qreal scale = 0;
    QHash<QString, QSize> images;
    QHash<QString, QRect> widgets;
    QHash<QString, qreal> room; // negative: the caption is clipped
};

Layout layoutAt(const QString& scale, const QString& folder) {
    QFile screens(QDir(folder).filePath(u"screens.json"_s));
    screens.open(QIODevice::WriteOnly);
    screens.write(R"({"screens":[{"name":"big","x":0,"y":0,"width":3840,"height":2160,)"
                  R"("logicalDpi":96,"dpr":1}]})");
    screens.close();
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen:configfile="_s + screens.fileName());
    environment.insert(u"QT_SCALE_FACTOR"_s, scale);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {kChildFlag, folder});
    Layout layout;
    if (!child.waitForFinished(30'000) || child.exitCode() != 0) {
        qWarning("%s", child.readAllStandardError().constData());
        return layout;
    }
    QTextStream in(child.readAllStandardOutput());
    for (QString line; in.readLineInto(&line);) {
        const QStringList w = line.split(u' ');
        if (w[0] == u"scale")
            layout.scale = w[1].toDouble();
        else if (w[0] == u"image")
            layout.images[w[1]] = QSize(w[2].toInt(), w[3].toInt());
        else if (w[0] == u"widget")
            layout.widgets[w[1]] = QRect(w[2].toInt(), w[3].toInt(), w[4].toInt(), w[5].toInt());
        else if (w[0] == u"caption")
            layout.room[w[1]] = w[2].toDouble();
    }
    return layout;
}

// Mean difference per channel between the picture at 1 and the one at a scale brought back to
// 1: the same layout differs only in the smoothing of edges and text.
double meanDifference(const QImage& atOne, const QImage& scaled) {
    const QImage a = atOne.convertToFormat(QImage::Format_RGB32);
    const QImage b = scaled.scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                         .convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class HighDpi : public QObject {
    Q_OBJECT
private slots:
    void windowsShouldKeepTheirLayoutAtEveryScale() {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString one = QDir(folder.path()).filePath(u"1"_s);
        QDir().mkpath(one);
        const Layout base = layoutAt(u"1"_s, one);
        QCOMPARE(base.scale, 1.0);
        QCOMPARE(base.images.value(u"frmlumi"_s), QSize(657, 430));
        QCOMPARE(base.images.value(u"frmservices"_s), QSize(583, 407));
        QVERIFY(base.widgets.size() == 13 && base.room.size() > 20);
        for (auto room = base.room.begin(); room != base.room.end(); ++room)
            QVERIFY2(room.value() >= 0, qPrintable(room.key() + u" is clipped"_s));

        for (const QString& scale : {u"1.25"_s, u"1.5"_s, u"2"_s}) {
            const QString here = QDir(folder.path()).filePath(scale);
            QDir().mkpath(here);
            const Layout at = layoutAt(scale, here);
            QCOMPARE(at.scale, scale.toDouble());
            for (auto image = base.images.begin(); image != base.images.end(); ++image) {
                const QSize expected = (QSizeF(image.value()) * at.scale).toSize();
                QCOMPARE(at.images.value(image.key()), expected);
                const QImage small(QDir(one).filePath(image.key() + u".png"_s));
                const QImage big(QDir(here).filePath(image.key() + u".png"_s));
                QCOMPARE(big.size(), expected);
                const double difference = meanDifference(small, big);
                QVERIFY2(
                    difference < 4,
                    qPrintable(
                        u"%1 at %2 differs by %3"_s.arg(image.key()).arg(scale).arg(difference)));
            }
            QCOMPARE(at.widgets, base.widgets);
            for (auto room = base.room.begin(); room != base.room.end(); ++room) {
                const bool clippedHere = at.room.value(room.key()) < 0;
                QVERIFY2(!clippedHere || room.value() < 0,
                         qPrintable(u"%1 clipped at %2 only"_s.arg(room.key(), scale)));
            }
        }
    }
};

int main(int argc, char** argv) {
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == kChildFlag)
        return layOut(argc, argv);
    QApplication application(argc, argv);
    HighDpi test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_high_dpi.moc"
