#pragma once

#include <QString>

// Root address of the quote site, always ending in "/". The public site unless the
// environment variable QUOTRA_SITE_ROOT names another (tests and demos use loopback).
// Read on every call so that a changed environment takes effect at once.
QString SiteRoot();
