#pragma once

#include "app/frmTranslate.h"
#include "settings/clsIniFile.h"
#include "support/QtPrinters.h"
#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// A window on a settings file of its own in a temporary folder, with a person's answers scripted.
class WindowFixture : public ::testing::Test {
protected:
    QString iniPath() const { return dir_.filePath(QStringLiteral("quorvel.ini")); }

    void writeSettings(const QByteArray& bytes) {
        QFile file(iniPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray settingsBytes() const {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QString setting(const QString& section, const QString& key) const {
        clsIniFile ini;
        ini.File(iniPath());
        return ini.GetSetting(section, key);
    }

    frmTranslate& openWindow() {
        window_ = std::make_unique<frmTranslate>(dialogs, [this] { return iniPath(); });
        window_->Form_Load();
        return *window_;
    }
    frmTranslate& window() { return *window_; }

    template <typename Control> Control* control(const char* name) {
        return window_->findChild<Control*>(QString::fromLatin1(name));
    }
    QPlainTextEdit* text1() { return control<QPlainTextEdit>("Text1"); }
    QPlainTextEdit* text2() { return control<QPlainTextEdit>("Text2"); }
    QComboBox* combo(const char* name) { return control<QComboBox>(name); }
    QCheckBox* check1() { return control<QCheckBox>("Check1"); }
    void click(const char* button) { control<QPushButton>(button)->click(); }

    ScriptedDialogs dialogs;

private:
    QTemporaryDir dir_;
    std::unique_ptr<frmTranslate> window_;
};
