// Where users are sent: the maker's ordering line and web site (shown by the
// ordering dialog) and the media player's download page (offered when media
// types do not play). Plain defines, so that the resource compiler reads them too.
#pragma once

#define ORDERING_TELEPHONE "1-800-555-0148"
#define ORDERING_WEB_SITE "www.kestrom.example/vivarune"
#define MEDIA_PLAYER_DOWNLOAD_PAGE "https://www.microsoft.com/windows/windowsmedia/download/"
