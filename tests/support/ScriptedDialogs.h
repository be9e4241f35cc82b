#pragma once

#include "app/Dialogs.h"

#include <QString>

#include <deque>
#include <vector>

// Answers the window's dialogs in a person's place, from a script, and keeps what was shown.
class ScriptedDialogs final : public Dialogs {
public:
    struct Shown {
        QString prompt;
        int style; // -1 for an input box
        QString title;
    };

    void answerMessages(std::initializer_list<int> answers) {
        messages_.insert(messages_.end(), answers);
    }
    void answerInputs(std::initializer_list<QString> answers) {
        inputs_.insert(inputs_.end(), answers);
    }

    int MsgBox(const QString& prompt, int style, const QString& title) override {
        shown.push_back({prompt, style, title});
        return next(messages_, int{MsgBoxAnswer::vbOK});
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        shown.push_back({prompt, -1, title});
        return next(inputs_, QString());
    }

    std::vector<Shown> shown;

private:
    // The next scripted answer, or `otherwise` once the script has run out.
    template <typename T> static T next(std::deque<T>& answers, T otherwise) {
        if (answers.empty())
            return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::deque<int> messages_;
    std::deque<QString> inputs_;
};
