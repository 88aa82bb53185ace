// SPDX-FileCopyrightText: 2026 The Lumivex developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "app/lumivex.h"

#include <QDir>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include <sys/stat.h>

// Both windows as start-up builds them, on a manual clock, a scripted random source, recorded
// message boxes, news and program end, played through real Qt events.
struct Rig {
    ui::ManualClock clock;
    ui::ScriptedRandom random;
    ui::RecordingMessageBoxes boxes;
    ui::RecordingProgram program;
    ui::RecordingAnnouncer reader;
    ui::ScriptedWordListFiles files;
    ui::RecordingGameRecords records;
    ui::Services services{clock, random, boxes, program, reader, files, records};
    app::Windows windows{services};
    game::frmlumi& w = windows.frmlumi;
    intro::frmservices& intro = windows.frmservices;

    // The game window alone, shown; the six draws its load step deals come first.
    game::frmlumi& open(std::initializer_list<float> deal = {0, 0, 0, 0, 0, 0}) {
        random.push(deal), w.Show();
        QApplication::processEvents(); // offscreen, the first paint and the activation come queued
        return w;
    }

    // The draw that picks WordBank entry `index` (of 50), and the one that moves a word by `twips`.
    static float pick(int index, int of = 50) {
        return (static_cast<float>(index) + 0.5f) / static_cast<float>(of);
    }
    float step(int twips) const { return (twips + 0.5f) / static_cast<float>(w.SpeedChr + 30); }
    // One game tick that must take exactly `draws`.
    void tick(std::initializer_list<float> draws) {
        random.push(draws), clock.advance(50);
        QCOMPARE(random.pending(), std::size_t{0});
    }
    // A tick in which only lbllumi(5), put just above the bottom line, moves: a miss.
    void miss() { w.lbllumi(5).setTop(4790), tick({0, 0, 0, 0, 0, step(10), pick(0)}); }

    // On the left, where a radio button takes the click too.
    void click(ui::Windowed& c) { QTest::mouseClick(c.widget(), Qt::LeftButton, {}, {6, 6}); }
    // Keys for ASCII, and what an input method delivers for the rest.
    void type(const QString& text) {
        for (const QChar ch : text)
            ch.unicode() < 128 ? QTest::keyClick(w.txtlumi->lineEdit(), ch.toLatin1())
                               : compose(ch, {});
    }
    void press(Qt::Key key) { QTest::keyClick(w.txtlumi->lineEdit(), key); }
    void compose(const QString& commit, const QString& preedit) {
        QInputMethodEvent event(preedit, {});
        event.setCommitString(commit);
        QCoreApplication::sendEvent(w.txtlumi->lineEdit(), &event);
    }
    // Types the word on lbllumi(0) and ends it with Enter; entry 0 is dealt in its place.
    void hit(int times = 1) {
        for (int n = 0; n < times; ++n)
            type(w.lbllumi(0).Caption()), random.push(pick(0)), press(Qt::Key_Return);
    }
    QString entry() const { return w.txtlumi->Text(); }

    // What the window last put on screen: unlike a fresh grab, it shows a spot that a step
    // forgot to repaint.
    static QImage screen(const ui::Form& form) {
        const QPixmap shown = form.widget()->screen()->grabWindow(form.widget()->winId());
        return shown.toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// A file named `name` in `folder` holding `bytes`, or, where `bytes` names one, a file that is
// "missing", a "folder", a named "pipe", a "dangling" link, a link "loop", or "sparse" (100 MiB
// of no disk). Its path, and whether it could be made.
inline std::pair<QString, bool> place(const QDir& folder, const QString& name,
                                      const QByteArray& bytes) {
    const QString path = folder.filePath(name);
    QFile file(path);
    if (bytes == "folder")
        return {path, folder.mkdir(name)};
    if (bytes == "dangling" || bytes == "loop")
        return {path, QFile::link(bytes == "loop" ? name : QStringLiteral("gone"), path)};
    if (bytes == "pipe")
        return {path, ::mkfifo(QFile::encodeName(path).constData(), 0644) == 0};
    if (bytes == "missing" || !file.open(QIODevice::WriteOnly))
        return {path, bytes == "missing"};
    return {path, bytes == "sparse" ? file.resize(100 << 20) : file.write(bytes) == bytes.size()};
}
