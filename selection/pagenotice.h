#pragma once

#include "customlabel.h"

// A line along the top of a device's event page that tells the user something about the device (why the
// page is empty, which states could not be read). It takes a place of its own: the page's contents move
// down by the height of its notices, which stack in the order they were made, so nothing is drawn over.
class PageNotice : public CustomLabel
{
    Q_OBJECT

protected:
    PageNotice(QWidget* pPage, const QString& strObjectName);
    // Sets the text (and tooltip) in the current language; called again on a language change.
    virtual void Retranslate() = 0;
    // Shows or hides the line and gives the page's notices their places again.
    void Show(bool bShow);

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;

private:
    static void Place(QWidget* pPage);

    QWidget* m_pPage = nullptr;
};
