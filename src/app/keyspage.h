#pragma once

#include <QString>

// The manual's page of keys, made from the command table so that it always
// names the keys the menus really have.
class KeysPage {
public:
    static QString html();
};
