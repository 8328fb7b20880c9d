#include "WidgetMessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace ostrel {

namespace {

void show(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool ask(QMessageBox::Icon icon, const QString& title, const QString& text)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    QPushButton* yes = box.addButton(QStringLiteral("&Si"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace

void WidgetMessageBoxes::error(const QString& text)
{
    show(QMessageBox::Critical, QStringLiteral("Errore"), text);
}

void WidgetMessageBoxes::information(const QString& text)
{
    show(QMessageBox::Information, QStringLiteral("Informazione"), text);
}

bool WidgetMessageBoxes::confirm(const QString& text)
{
    return ask(QMessageBox::Question, QStringLiteral("Conferma"), text);
}

bool WidgetMessageBoxes::confirmWarning(const QString& text)
{
    return ask(QMessageBox::Warning, QStringLiteral("Attenzione"), text);
}

void WidgetMessageBoxes::plain(const QString& text)
{
    show(QMessageBox::NoIcon, QStringLiteral("Ostrel"), text);
}

void WidgetMessageBoxes::standardError(const QString& text)
{
    show(QMessageBox::Critical, QStringLiteral("Errore"), text);
}

} // namespace ostrel
