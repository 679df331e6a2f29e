#include "RealFilesHarness.h"

#include "platform/SystemNumberLocale.h"
#include "ui/TextBox.h"

#include <QLocale>
#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(TextBoxFidelity, TextComesBackExactlyAsPut)
{
    const QString cases[] = {
        u"a\u00a0b\r\n"_s,
        u"line\u2028same paragraph\r\n"_s,
        u"one\u2029two\r\n"_s,
        u"\ttabbed  \r\n\r\n"_s,
        u"no line end"_s,
        u"\U0001F600 \u0436\u0443\u043a\r\n"_s,
        QString(),
    };
    for (const QString &text : cases) {
        TextBox box;
        box.setText(text);
        EXPECT_EQ(box.text(), text) << text.toStdString();
    }
}

TEST(TextBoxFidelity, TextChangedBehindItsBackIsReadFromTheEditor)
{
    TextBox box;
    box.setText(u"a\u00a0b"_s);
    box.setPlainText(u"typed\nover"_s);
    EXPECT_EQ(box.text(), u"typed\r\nover"_s);
    box.clear();
    EXPECT_EQ(box.text(), QString());
}

// Every row: a real file with that name is measured under that locale's separators, and
// the log file holds, byte for byte, what the boxes hold, in the system's 8-bit encoding
// (UTF-8 on Linux; the ANSI code page on Windows, where what it lacks becomes "?").
TEST(TextFidelity, LogFileHoldsTheBoxTextsAndThePathByteForByte)
{
    QList<QString> names = {
        u"a\u00a0b.bin"_s, // no-break space
        u"a\u2028b.bin"_s, // line separator
        u"a\u2029b.bin"_s, // paragraph separator
        u"Gr\u00fc\u00dfe \u0436\u0443\u043a \U0001F600.bin"_s,
    };
#if !defined(Q_OS_WIN)
    // Names Windows does not allow: a control character, blanks at the end.
    names += {u"tab\tname.bin"_s, u"trailing blanks.bin  "_s};
#endif
    const auto encoded = [](const QString &text) {
        return QByteArray(QStringEncoder(QStringConverter::System)(text));
    };
    const char *locales[] = {"en_US", "ru_RU", "de_DE", "fr_CH"};
    for (const char *localeName : locales) {
        const QLocale locale(QString::fromLatin1(localeName));
        for (const QString &name : std::as_const(names)) {
            SCOPED_TRACE(std::string(localeName) + " " + name.toStdString());
            RealFilesHarness app(std::make_unique<SystemNumberLocale>(locale));
            const QString target = app.files() + u'/' + name;
            {
                QFile file(target);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                ASSERT_EQ(file.write(QByteArray(1234567, 'x')), 1234567);
            }
            const QString logPath = app.files() + u"/run.log"_s;
            app.store(u"FF_LOCATION_TEXTBOX"_s, target);
            app.store(u"LOGFILE_TEXTBOX"_s, logPath);
            app.store(u"USE_FILE_TICKBOX"_s, u"1"_s);
            app.launch();
            app.runNow();

            Ui::ZEMRA_MAIN &f = app.form();
            ASSERT_EQ(f.CURRENT_STATUS_LABEL->text(), u"READY..."_s);
            const QString group = locale.groupSeparator();
            EXPECT_EQ(f.FILE_SIZE_BYTES_TEXTBOX->text(),
                      u"1"_s + group + u"234"_s + group + u"567 B  "_s);

            const QByteArray file = RealFilesHarness::bytesOf(logPath);
            EXPECT_EQ(file, encoded(f.LOG_FILE_OUTPUT_TEXTBOX->text()));
            EXPECT_TRUE(file.contains("\r\nFILE = " + encoded(target) + "\r\n"));
            QString sizeBlock;
            for (QLineEdit *box : {f.FILE_SIZE_BYTES_TEXTBOX, f.FILE_SIZE_KILOBYTES_TEXTBOX,
                                   f.FILE_SIZE_MEGABYTES_TEXTBOX, f.FILE_SIZE_GIGABYTES_TEXTBOX,
                                   f.FILE_SIZE_TERABYTES_TEXTBOX, f.FILE_SIZE_PETABYTES_TEXTBOX})
                sizeBlock += u"\r\n"_s + box->text();
            EXPECT_TRUE(file.contains("\r\n" + encoded(sizeBlock) + "\r\n\r\n"));
            EXPECT_EQ(f.OUTPUT_WINDOW_TEXTBOX->text(), sizeBlock.mid(2));
            // 18 lines: characters that merely look like line ends add none.
            EXPECT_EQ(file.count("\r\n"), 18);
            EXPECT_EQ(file.count('\n'), 18);
        }
    }
}

} // namespace
