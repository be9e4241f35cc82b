#pragma once

#include "app/Dialogs.h"

#include <QStringList>

#include <deque>
#include <vector>

// Answers the window's dialogs in a person's place, from a script, and keeps what was shown.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString prompt;
        int style = -1; // -1 for an input box
        QString title;
    };

    void answerMessages(std::initializer_list<int> answers) {
        messageAnswers_.insert(messageAnswers_.end(), answers);
    }
    void answerInputs(std::initializer_list<QString> answers) {
        inputAnswers_.insert(inputAnswers_.end(), answers);
    }

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        shown.push_back({prompt, style, title});
        if (messageAnswers_.empty())
            return MsgBoxAnswer::vbOK;
        const int answer = messageAnswers_.front();
        messageAnswers_.pop_front();
        return answer;
    }

    QString InputBox(const QString& prompt, const QString& title) override {
        shown.push_back({prompt, -1, title});
        if (inputAnswers_.empty())
            return {};
        QString answer = inputAnswers_.front();
        inputAnswers_.pop_front();
        return answer;
    }

    std::vector<Shown> shown;

private:
    std::deque<int> messageAnswers_;
    std::deque<QString> inputAnswers_;
};
