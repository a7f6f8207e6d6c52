#include "platform/web/WebQuestions.h"

QString WebQuestions::featureName(SiteFeature feature)
{
    switch (feature) {
    case SiteFeature::Geolocation:
        return QStringLiteral("your location");
    case SiteFeature::Notifications:
        return QStringLiteral("notifications");
    case SiteFeature::Camera:
        return QStringLiteral("your camera");
    case SiteFeature::Microphone:
        return QStringLiteral("your microphone");
    case SiteFeature::CameraAndMicrophone:
        return QStringLiteral("your camera and microphone");
    case SiteFeature::ScreenCapture:
        return QStringLiteral("your screen");
    case SiteFeature::MouseLock:
        return QStringLiteral("the mouse pointer");
    }
    return {};
}
