#pragma once

#include <QByteArray>
#include <QString>

// Root address of the quote site, always ending in "/". The public site unless the
// environment variable QUOTRA_SITE_ROOT names another (tests and demos use loopback).
// Read on every call so that a changed environment takes effect at once.
QString SiteRoot();

// A file of certificates (PEM) to trust for the site instead of the system's authorities,
// from the environment variable QUOTRA_SITE_CA_FILE: the sample site over HTTPS signs its
// own certificate, which tests and demos trust this way. Empty when unset.
QByteArray SiteCaFile();
