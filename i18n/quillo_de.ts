<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
    <context>
        <name>ContentItemListModel</name>
        <message>
            <source>A browse shortcut, not a playable item. Open it in the Sonos app.</source>
            <translation>Eine Verknüpfung zum Durchsuchen, kein abspielbarer Eintrag. Öffnen Sie sie in der Sonos-App.</translation>
        </message>
        <message>
            <source>This item's music service needs re-authorizing in the Sonos app.</source>
            <translation>Der Musikdienst dieses Eintrags muss in der Sonos-App erneut autorisiert werden.</translation>
        </message>
    </context>
    <context>
        <name>FallbackWindow</name>
        <message>
            <source>No tray here: on GNOME, add the AppIndicator extension.</source>
            <translation>Kein Infobereich gefunden: Unter GNOME die Erweiterung „AppIndicator“ hinzufügen.</translation>
        </message>
    </context>
    <context>
        <name>FavoritesRow</name>
        <message>
            <source>Provider</source>
            <translation>Anbieter</translation>
        </message>
        <message>
            <source>Favorite</source>
            <translation>Favorit</translation>
        </message>
        <message>
            <source>Play this selection</source>
            <translation>Diese Auswahl abspielen</translation>
        </message>
    </context>
    <context>
        <name>FixLine</name>
        <message>
            <source>Copy</source>
            <extracomment>Copies the command shown beside it.</extracomment>
            <translation>Kopieren</translation>
        </message>
    </context>
    <context>
        <name>Footer</name>
        <message>
            <source>Refreshing…</source>
            <translation>Wird aktualisiert…</translation>
        </message>
        <message>
            <source>Refresh</source>
            <translation>Aktualisieren</translation>
        </message>
        <message>
            <source>Re-read favorites, playlists and speakers from the system</source>
            <translation>Favoriten, Playlists und Lautsprecher neu vom System einlesen</translation>
        </message>
        <message>
            <source>Tips</source>
            <extracomment>Opens the window with tips on using Quillo.</extracomment>
            <translation>Tipps</translation>
        </message>
        <message>
            <source>Help</source>
            <translation>Hilfe</translation>
        </message>
        <message>
            <source>Open the Quillo help page — installing, known quirks, and how to report a problem</source>
            <translation>Die Hilfeseite von Quillo öffnen – Installation, bekannte Eigenheiten und wie man ein Problem meldet</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Beenden</translation>
        </message>
        <message>
            <source>Quillo for Sonos — not affiliated with Sonos, Inc.</source>
            <translation>Quillo für Sonos – nicht mit Sonos, Inc. verbunden</translation>
        </message>
        <message>
            <source>Live updates blocked by a firewall</source>
            <translation>Live-Aktualisierung durch eine Firewall blockiert</translation>
        </message>
    </context>
    <context>
        <name>GroupPicker</name>
        <message>
            <source>Group</source>
            <translation>Gruppe</translation>
        </message>
    </context>
    <context>
        <name>HouseholdChooser</name>
        <message>
            <source>System</source>
            <translation>System</translation>
        </message>
    </context>
    <context>
        <name>HouseholdListModel</name>
        <message>
            <source>, </source>
            <translation>, </translation>
        </message>
        <message>
            <source>%1 +%2</source>
            <extracomment>A household&apos;s first rooms and how many more it has: &quot;Living Room, Kitchen +3&quot;.</extracomment>
            <translation>%1 +%2</translation>
        </message>
        <message>
            <source>S%1 · %2</source>
            <extracomment>The software generation of a household (S1 or S2), then its rooms.</extracomment>
            <translation>S%1 · %2</translation>
        </message>
    </context>
    <context>
        <name>Inputs</name>
        <message>
            <source>TV (%1)</source>
            <extracomment>An input to play: the TV sound of the soundbar in room %1.</extracomment>
            <translation>TV (%1)</translation>
        </message>
        <message>
            <source>Line-In (%1)</source>
            <extracomment>An input to play: the line-in of the player in room %1.</extracomment>
            <translation>Line-In (%1)</translation>
        </message>
        <message>
            <source>TV</source>
            <extracomment>The title shown while a soundbar plays its TV's sound.</extracomment>
            <translation>TV</translation>
        </message>
        <message>
            <source>Line-In</source>
            <extracomment>The title shown while a group plays a line-in.</extracomment>
            <translation>Line-In</translation>
        </message>
    </context>
    <context>
        <name>InputsRow</name>
        <message>
            <source>Play %1</source>
            <extracomment>%1 is an input such as "TV (Living Room)".</extracomment>
            <translation>%1 abspielen</translation>
        </message>
    </context>
    <context>
        <name>Library</name>
        <message>
            <source>"%1" can't play — its music service needs re-authorizing in the Sonos app.</source>
            <extracomment>%1 is the title of a favorite or playlist.</extracomment>
            <translation>„%1“ kann nicht abgespielt werden – sein Musikdienst muss in der Sonos-App erneut autorisiert werden.</translation>
        </message>
        <message>
            <source>All Providers</source>
            <extracomment>The provider filter's entry that shows every favorite.</extracomment>
            <translation>Alle Anbieter</translation>
        </message>
    </context>
    <context>
        <name>LiveUpdatesView</name>
        <message>
            <source>Live updates blocked</source>
            <translation>Live-Aktualisierung blockiert</translation>
        </message>
        <message>
            <source>Your speakers' live updates don't reach this computer; a firewall on it is probably blocking them. Meanwhile Quillo keeps the panel current by asking the speakers every few seconds.</source>
            <translation>Die Live-Aktualisierungen Ihrer Lautsprecher erreichen diesen Computer nicht; vermutlich blockiert sie eine Firewall auf diesem Computer. Währenddessen hält Quillo die Anzeige aktuell, indem es die Lautsprecher alle paar Sekunden abfragt.</translation>
        </message>
        <message>
            <source>A VPN is active; it may keep your speakers' live updates from reaching this computer.</source>
            <translation>Ein VPN ist aktiv; es hält die Live-Aktualisierungen Ihrer Lautsprecher womöglich von diesem Computer fern.</translation>
        </message>
        <message>
            <source>Looking for this computer's firewall…</source>
            <translation>Die Firewall dieses Computers wird gesucht…</translation>
        </message>
        <message>
            <source>Troubleshooting…</source>
            <translation>Fehlerbehebung…</translation>
        </message>
        <message>
            <source>Copy diagnostics</source>
            <translation>Diagnose kopieren</translation>
        </message>
        <message>
            <source>Copy a short report of what Quillo checked, for a bug report</source>
            <translation>Einen kurzen Bericht über die Prüfungen von Quillo kopieren, für eine Fehlermeldung</translation>
        </message>
        <message>
            <source>Back</source>
            <extracomment>Returns from the explanation to the panel's controls.</extracomment>
            <translation>Zurück</translation>
        </message>
    </context>
    <context>
        <name>NowPlayingView</name>
        <message>
            <source>Looking for speakers…</source>
            <translation>Lautsprecher werden gesucht…</translation>
        </message>
        <message>
            <source>Nothing playing</source>
            <translation>Keine Wiedergabe</translation>
        </message>
    </context>
    <context>
        <name>PlaybackRecord</name>
        <message>
            <source>%1 of %2</source>
            <extracomment>Read by screen readers for the progress bar, e.g. "1:23 of 4:05".</extracomment>
            <translation>%1 von %2</translation>
        </message>
    </context>
    <context>
        <name>Queue</name>
        <message>
            <source>An input plays; it has no queue.</source>
            <translation>Ein Eingang spielt; er hat keine Warteschlange.</translation>
        </message>
        <message>
            <source>A station or stream plays; it has no queue.</source>
            <translation>Ein Sender oder Stream spielt; er hat keine Warteschlange.</translation>
        </message>
        <message>
            <source>Saved as the playlist “%1”.</source>
            <extracomment>%1 is the title the user gave the new playlist.</extracomment>
            <translation>Als Playlist „%1“ gespeichert.</translation>
        </message>
    </context>
    <context>
        <name>QueueRow</name>
        <message>
            <source>Loading…</source>
            <translation>Wird geladen…</translation>
        </message>
        <message>
            <source>Remove %1</source>
            <extracomment>%1 is the title of an entry of Up Next.</extracomment>
            <translation>%1 entfernen</translation>
        </message>
        <message>
            <source>Move Up</source>
            <translation>Nach oben</translation>
        </message>
        <message>
            <source>Move Down</source>
            <translation>Nach unten</translation>
        </message>
        <message>
            <source>Remove</source>
            <translation>Entfernen</translation>
        </message>
        <message>
            <source>Playing</source>
            <translation>Wird gespielt</translation>
        </message>
    </context>
    <context>
        <name>QueueView</name>
        <message>
            <source>Up Next</source>
            <translation>Als Nächstes</translation>
        </message>
        <message>
            <source>Save as Playlist…</source>
            <translation>Speichern…</translation>
        </message>
        <message>
            <source>Clear Queue</source>
            <translation>Leeren</translation>
        </message>
        <message>
            <source>Remove every entry from the queue?</source>
            <translation>Alle Titel aus der Warteschlange entfernen?</translation>
        </message>
        <message>
            <source>Clear</source>
            <translation>Leeren</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <source>Playlist title</source>
            <translation>Name der Playlist</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>Speichern</translation>
        </message>
        <message>
            <source>Loading…</source>
            <translation>Wird geladen…</translation>
        </message>
        <message>
            <source>The queue is empty</source>
            <translation>Die Warteschlange ist leer</translation>
        </message>
        <message>
            <source>The queue could not be read</source>
            <translation>Die Warteschlange konnte nicht gelesen werden</translation>
        </message>
    </context>
    <context>
        <name>UpNextButton</name>
        <message>
            <source>Up Next</source>
            <translation>Als Nächstes</translation>
        </message>
    </context>
    <context>
        <name>RoomRow</name>
        <message>
            <source>%1 volume</source>
            <extracomment>%1 is a room's name, as in "Kitchen volume".</extracomment>
            <translation>Lautstärke %1</translation>
        </message>
        <message>
            <source>Mute %1</source>
            <extracomment>%1 is a room's name, as in "Mute Kitchen".</extracomment>
            <translation>%1 stummschalten</translation>
        </message>
        <message>
            <source>%1 sound settings</source>
            <extracomment>%1 is a room's name, as in "Kitchen sound settings".</extracomment>
            <translation>Klangeinstellungen %1</translation>
        </message>
        <message>
            <source>Sound</source>
            <translation>Klang</translation>
        </message>
    </context>
    <context>
        <name>RoomSoundView</name>
        <message>
            <source>Bass</source>
            <extracomment>A room's bass, from -10 to +10.</extracomment>
            <translation>Bass</translation>
        </message>
        <message>
            <source>Treble</source>
            <extracomment>A room's treble, from -10 to +10.</extracomment>
            <translation>Höhen</translation>
        </message>
        <message>
            <source>Loudness</source>
            <extracomment>Louder bass and treble at low volume.</extracomment>
            <translation>Loudness</translation>
        </message>
        <message>
            <source>Night Sound</source>
            <extracomment>A soundbar's night mode: quiet sounds louder, loud ones softer.</extracomment>
            <translation>Nachtmodus</translation>
        </message>
        <message>
            <source>Speech Enhancement</source>
            <extracomment>A soundbar's dialogue enhancement.</extracomment>
            <translation>Sprachverbesserung</translation>
        </message>
        <message>
            <source>Back</source>
            <extracomment>Returns from a room's sound settings to the panel's controls.</extracomment>
            <translation>Zurück</translation>
        </message>
        <message>
            <source>Reset</source>
            <extracomment>Bass and treble back to 0, loudness on.</extracomment>
            <translation>Zurücksetzen</translation>
        </message>
        <message>
            <source>Bass and treble to 0, loudness on</source>
            <translation>Bass und Höhen auf 0, Loudness an</translation>
        </message>
    </context>
    <context>
        <name>RoomRows</name>
        <message>
            <source>Rooms</source>
            <translation>Räume</translation>
        </message>
    </context>
    <context>
        <name>RoomsSection</name>
        <message>
            <source>Rooms</source>
            <translation>Räume</translation>
        </message>
    </context>
    <context>
        <name>SetupView</name>
        <message>
            <source>Looking for speakers…</source>
            <translation>Lautsprecher werden gesucht…</translation>
        </message>
        <message>
            <source>Couldn't reach that speaker</source>
            <translation>Dieser Lautsprecher ist nicht erreichbar</translation>
        </message>
        <message>
            <source>No Sonos speakers found</source>
            <translation>Keine Sonos-Lautsprecher gefunden</translation>
        </message>
        <message>
            <source>Searching</source>
            <translation>Suche läuft</translation>
        </message>
        <message>
            <source>%1 didn't answer. Check the address, or clear it to go back to automatic discovery.</source>
            <extracomment>%1 is the address the user typed.</extracomment>
            <translation>%1 hat nicht geantwortet. Prüfen Sie die Adresse oder löschen Sie sie, um zur automatischen Suche zurückzukehren.</translation>
        </message>
        <message>
            <source>Quillo searched your network and no speaker answered. Check that this computer is on the same network as your speakers, or enter a speaker's address below.</source>
            <translation>Quillo hat Ihr Netzwerk durchsucht, aber kein Lautsprecher hat geantwortet. Prüfen Sie, ob dieser Computer im selben Netzwerk ist wie Ihre Lautsprecher, oder geben Sie unten die Adresse eines Lautsprechers ein.</translation>
        </message>
        <message>
            <source>Troubleshooting…</source>
            <translation>Fehlerbehebung…</translation>
        </message>
        <message>
            <source>Enter a speaker's IP address instead…</source>
            <translation>Stattdessen die IP-Adresse eines Lautsprechers eingeben…</translation>
        </message>
        <message>
            <source>Enter any speaker's IP address. One player describes the whole system.</source>
            <translation>Geben Sie die IP-Adresse eines beliebigen Lautsprechers ein. Ein Player beschreibt das ganze System.</translation>
        </message>
        <message>
            <source>Speaker address</source>
            <translation>Lautsprecheradresse</translation>
        </message>
        <message>
            <source>Connect</source>
            <translation>Verbinden</translation>
        </message>
        <message>
            <source>Find it in the Sonos app under Settings → System → About My System.</source>
            <translation>Sie finden sie in der Sonos-App unter Einstellungen → System → Über mein System.</translation>
        </message>
        <message>
            <source>Use Automatic Discovery</source>
            <translation>Automatische Suche verwenden</translation>
        </message>
        <message>
            <source>Try Again</source>
            <translation>Erneut versuchen</translation>
        </message>
        <message>
            <source>Help</source>
            <translation>Hilfe</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Beenden</translation>
        </message>
        <message>
            <source>Copy diagnostics</source>
            <translation>Diagnose kopieren</translation>
        </message>
        <message>
            <source>Copy a short report of what Quillo checked, for a bug report</source>
            <translation>Einen kurzen Bericht über die Prüfungen von Quillo kopieren, für eine Fehlermeldung</translation>
        </message>
    </context>
    <context>
        <name>SleepTimer</name>
        <message>
            <source>%1 min</source>
            <translation>%1 Min.</translation>
        </message>
        <message>
            <source>%1 h</source>
            <translation>%1 Std.</translation>
        </message>
        <message>
            <source>%1 h %2 min</source>
            <translation>%1 Std. %2 Min.</translation>
        </message>
        <message>
            <source>1 minute</source>
            <translation>1 Minute</translation>
        </message>
        <message>
            <source>%1 minutes</source>
            <translation>%1 Minuten</translation>
        </message>
        <message>
            <source>%1 left</source>
            <extracomment>%1 is a time such as "29 minutes" or "1 hour".</extracomment>
            <translation>noch %1</translation>
        </message>
        <message>
            <source>1 hour</source>
            <translation>1 Stunde</translation>
        </message>
        <message>
            <source>%1 hours</source>
            <translation>%1 Stunden</translation>
        </message>
        <message>
            <source>%1 %2 left</source>
            <comment>hours, then minutes</comment>
            <extracomment>%1 is the hours ("1 hour"), %2 the minutes ("15 minutes").</extracomment>
            <translation>noch %1 %2</translation>
        </message>
    </context>
    <context>
        <name>SleepTimerButton</name>
        <message>
            <source>Sleep Timer</source>
            <translation>Sleep-Timer</translation>
        </message>
        <message>
            <source>15 minutes</source>
            <translation>15 Minuten</translation>
        </message>
        <message>
            <source>30 minutes</source>
            <translation>30 Minuten</translation>
        </message>
        <message>
            <source>45 minutes</source>
            <translation>45 Minuten</translation>
        </message>
        <message>
            <source>1 hour</source>
            <translation>1 Stunde</translation>
        </message>
        <message>
            <source>2 hours</source>
            <translation>2 Stunden</translation>
        </message>
        <message>
            <source>Turn Off Sleep Timer</source>
            <translation>Sleep-Timer ausschalten</translation>
        </message>
    </context>
    <context>
        <name>SonosKit::Alarm</name>
        <message>
            <source>Chime</source>
            <translation>Signalton</translation>
        </message>
    </context>
    <context>
        <name>SonosKit::Diagnosis</name>
        <message>
            <source>This computer isn't connected to a network.</source>
            <translation>Dieser Computer ist mit keinem Netzwerk verbunden.</translation>
        </message>
        <message>
            <source>Nothing on your network answered Quillo's search. A firewall on this computer is probably blocking the answers.</source>
            <translation>Nichts in Ihrem Netzwerk hat auf die Suche von Quillo geantwortet. Vermutlich blockiert eine Firewall auf diesem Computer die Antworten.</translation>
        </message>
        <message>
            <source>Your network answers, but no Sonos speaker is on it. If your speakers are on another network (a guest Wi-Fi, a separate VLAN or behind a VPN), enter a speaker's IP address.</source>
            <translation>Ihr Netzwerk antwortet, aber kein Sonos-Lautsprecher ist darin. Sind Ihre Lautsprecher in einem anderen Netzwerk (einem Gäste-WLAN, einem eigenen VLAN oder hinter einem VPN), geben Sie die IP-Adresse eines Lautsprechers ein.</translation>
        </message>
        <message>
            <source>Your speakers have UPnP switched off, so no app on this computer may control them. In the Sonos app, open Account → Privacy and Security and turn on UPnP.</source>
            <translation>Bei Ihren Lautsprechern ist UPnP ausgeschaltet, daher darf keine App auf diesem Computer sie steuern. Öffnen Sie in der Sonos-App Konto → Datenschutz und Sicherheit und schalten Sie UPnP ein.</translation>
        </message>
        <message>
            <source>A VPN is active; it may keep the search from reaching your speakers.</source>
            <translation>Ein VPN ist aktiv; es kann verhindern, dass die Suche Ihre Lautsprecher erreicht.</translation>
        </message>
        <message>
            <source>Avahi isn't running, so Quillo could only use its second way of searching. To enable it: sudo systemctl enable --now avahi-daemon</source>
            <translation>Avahi läuft nicht, daher konnte Quillo nur auf seine zweite Art suchen. So schalten Sie es ein: sudo systemctl enable --now avahi-daemon</translation>
        </message>
        <message>
            <source>%1 is too wide a network to open to. Allow UDP and TCP to ports %2 only from your speakers' addresses (Sonos app → Settings → System → About My System).</source>
            <extracomment>%1 is a network such as "10.0.0.0/8", %2 a port range such as "1400-1409".</extracomment>
            <translation>%1 ist ein zu weites Netzwerk, um es zu öffnen. Erlauben Sie UDP und TCP an die Ports %2 nur von den Adressen Ihrer Lautsprecher (Sonos-App → Einstellungen → System → Über mein System).</translation>
        </message>
        <message>
            <source>In your firewall (nftables or iptables), allow UDP and TCP to ports %1 from the local network.</source>
            <extracomment>%1 is a port range such as "1400-1409".</extracomment>
            <translation>Erlauben Sie in Ihrer Firewall (nftables oder iptables) UDP und TCP an die Ports %1 aus dem lokalen Netzwerk.</translation>
        </message>
        <message>
            <source>In your firewall (nftables or iptables), allow UDP and TCP to ports %1 from %2.</source>
            <extracomment>%1 is a port range such as "1400-1409", %2 a network such as "192.168.1.0/24".</extracomment>
            <translation>Erlauben Sie in Ihrer Firewall (nftables oder iptables) UDP und TCP an die Ports %1 aus %2.</translation>
        </message>
        <message>
            <source>Connect this computer to the network your speakers are on.</source>
            <translation>Verbinden Sie diesen Computer mit dem Netzwerk Ihrer Lautsprecher.</translation>
        </message>
        <message>
            <source>Enter a speaker's IP address.</source>
            <translation>Geben Sie die IP-Adresse eines Lautsprechers ein.</translation>
        </message>
        <message>
            <source>Sonos app → Account → Privacy and Security → UPnP: on</source>
            <translation>Sonos-App → Konto → Datenschutz und Sicherheit → UPnP: ein</translation>
        </message>
    </context>
    <context>
        <name>SonosKit::Recurrence</name>
        <message>
            <source>Once</source>
            <translation>Einmal</translation>
        </message>
        <message>
            <source>Every day</source>
            <translation>Täglich</translation>
        </message>
        <message>
            <source>Weekdays</source>
            <translation>Werktags</translation>
        </message>
        <message>
            <source>Weekends</source>
            <translation>Am Wochenende</translation>
        </message>
    </context>
    <context>
        <name>SonosKit::SOAPClient</name>
        <message>
            <source>1 second</source>
            <translation>1 Sekunde</translation>
        </message>
        <message>
            <source>%1 seconds</source>
            <extracomment>%1 is a number of seconds other than one, e.g. "6" or "0.4".</extracomment>
            <translation>%1 Sekunden</translation>
        </message>
        <message>
            <source>The player at %1 did not answer within %2.</source>
            <translation>Der Player unter %1 hat nicht innerhalb von %2 geantwortet.</translation>
        </message>
    </context>
    <context>
        <name>SonosKit::SonosError</name>
        <message>
            <source>The player rejected the request — check the third-party control setting in the Sonos app.</source>
            <translation>Der Player hat die Anfrage abgelehnt – prüfen Sie die Einstellung zur Steuerung durch Drittanbieter in der Sonos-App.</translation>
        </message>
        <message>
            <source>Invalid arguments — likely hand-built DIDL-Lite metadata; pass back what Browse returned.</source>
            <translation>Ungültige Argumente – vermutlich selbst gebaute DIDL-Lite-Metadaten; geben Sie zurück, was Browse geliefert hat.</translation>
        </message>
        <message>
            <source>Transition not available. Either the command went to a non-coordinator, or the loaded URI is not playable — a station whose streaming service is no longer authorized returns 701 on Play even though SetAVTransportURI succeeded.</source>
            <translation>Übergang nicht möglich. Entweder ging der Befehl nicht an den Koordinator der Gruppe, oder die geladene URI ist nicht abspielbar – ein Sender, dessen Streamingdienst nicht mehr autorisiert ist, liefert bei „Play“ den Fehler 701, obwohl SetAVTransportURI gelungen ist.</translation>
        </message>
        <message>
            <source>Illegal MIME type — the URI is not playable as given.</source>
            <translation>Unzulässiger MIME-Typ – die URI ist so nicht abspielbar.</translation>
        </message>
        <message>
            <source>Command refused. On a favorite this usually means it points at a music service account that no longer exists — compare the `sn=` in its URI with a favorite that works. Otherwise, check it went to the group coordinator.</source>
            <translation>Befehl abgelehnt. Bei einem Favoriten heißt das meist, dass er auf ein Konto eines Musikdienstes zeigt, das es nicht mehr gibt – vergleichen Sie das „sn=“ in seiner URI mit einem Favoriten, der funktioniert. Andernfalls prüfen Sie, ob der Befehl an den Koordinator der Gruppe ging.</translation>
        </message>
        <message>
            <source>No room named "%1". Run `zonescout topology` to list rooms.</source>
            <extracomment>%1 is the room name given on the command line.</extracomment>
            <translation>Kein Raum namens „%1“. „zonescout topology“ listet die Räume auf.</translation>
        </message>
        <message>
            <source>Network error talking to the player: %1</source>
            <extracomment>%1 says what failed, e.g. that the player did not answer in time.</extracomment>
            <translation>Netzwerkfehler bei der Verbindung zum Player: %1</translation>
        </message>
        <message>
            <source>Player returned HTTP %1. Body: %2</source>
            <extracomment>%1 is an HTTP status code, %2 the start of the player's answer.</extracomment>
            <translation>Der Player antwortete mit HTTP %1. Inhalt: %2</translation>
        </message>
        <message>
            <source>%1 failed: UPnP error %2 %3. %4</source>
            <extracomment>%1 is the request (e.g. "Play"), %2 the error number, %3 the player's words, %4 advice.</extracomment>
            <translation>%1 fehlgeschlagen: UPnP-Fehler %2 %3. %4</translation>
        </message>
        <message>
            <source>Could not parse the player's response: %1</source>
            <translation>Die Antwort des Players war nicht lesbar: %1</translation>
        </message>
        <message>
            <source>"%1" is a browse shortcut, not a playable item — the player returns no URI for it. Open it in the Sonos app instead.</source>
            <extracomment>%1 is the title of a favorite.</extracomment>
            <translation>„%1“ ist eine Verknüpfung zum Durchsuchen, kein abspielbarer Eintrag – der Player liefert dafür keine URI. Öffnen Sie sie stattdessen in der Sonos-App.</translation>
        </message>
        <message>
            <source>No Sonos players found on this network. Check that this computer is on the same Wi-Fi/LAN as the speakers, and that a firewall isn't blocking the search.</source>
            <translation>Keine Sonos-Player in diesem Netzwerk gefunden. Prüfen Sie, ob dieser Computer im selben WLAN/LAN ist wie die Lautsprecher und ob eine Firewall die Suche blockiert.</translation>
        </message>
        <message>
            <source>A sleep timer runs for at most 23 hours, 59 minutes and 59 seconds; %1 seconds cannot be set.</source>
            <extracomment>%1 is the length asked for, in seconds.</extracomment>
            <translation>Ein Sleep-Timer läuft höchstens 23 Stunden, 59 Minuten und 59 Sekunden; %1 Sekunden lassen sich nicht einstellen.</translation>
        </message>
        <message>
            <source>What plays now cannot be shuffled, repeated or crossfaded: radio, line-in and TV play as they come.</source>
            <translation>Was gerade läuft, lässt sich weder zufällig wiedergeben noch wiederholen oder überblenden: Radio, Line-In und TV spielen, wie sie kommen.</translation>
        </message>
        <message>
            <source>The queue changed on the speaker; it has been read again.</source>
            <translation>Die Warteschlange wurde am Lautsprecher geändert; sie wurde neu eingelesen.</translation>
        </message>
        <message>
            <source>A playlist needs a title.</source>
            <translation>Eine Playlist braucht einen Titel.</translation>
        </message>
        <message>
            <source>Another alarm is already set for that time in that room.</source>
            <translation>In diesem Raum ist für diese Uhrzeit schon ein Wecker gestellt.</translation>
        </message>
    </context>
    <context>
        <name>TrackList</name>
        <message>
            <source>%1 doesn't list tracks to the player directly. Showing them loads this playlist into %2's queue, replacing what's there.</source>
            <extracomment>%1 is a music service, %2 a speaker group such as "Kitchen + 1".</extracomment>
            <translation>%1 gibt die Titel nicht direkt an den Player weiter. Um sie anzuzeigen, wird diese Playlist in die Warteschlange von %2 geladen und ersetzt, was dort steht.</translation>
        </message>
        <message>
            <source>the speaker</source>
            <translation>dem Lautsprecher</translation>
        </message>
        <message>
            <source>This is a browse shortcut. Open it in the Sonos app.</source>
            <translation>Dies ist eine Verknüpfung zum Durchsuchen. Öffnen Sie sie in der Sonos-App.</translation>
        </message>
        <message>
            <source>The player returned no tracks for this playlist.</source>
            <translation>Der Player hat für diese Playlist keine Titel geliefert.</translation>
        </message>
    </context>
    <context>
        <name>TrackListView</name>
        <message>
            <source>Loading…</source>
            <translation>Wird geladen…</translation>
        </message>
        <message>
            <source>Nothing from %1</source>
            <extracomment>%1 is a music service chosen in the provider filter.</extracomment>
            <translation>Nichts von %1</translation>
        </message>
        <message>
            <source>No favorites found</source>
            <translation>Keine Favoriten gefunden</translation>
        </message>
        <message>
            <source>Loading tracks…</source>
            <translation>Titel werden geladen…</translation>
        </message>
        <message>
            <source>Show tracks</source>
            <translation>Titel anzeigen</translation>
        </message>
    </context>
    <context>
        <name>TrackRows</name>
        <message>
            <source>Tracks</source>
            <translation>Titel</translation>
        </message>
    </context>
    <context>
        <name>TransportControls</name>
        <message>
            <source>Previous</source>
            <translation>Zurück</translation>
        </message>
        <message>
            <source>Pause</source>
            <translation>Pause</translation>
        </message>
        <message>
            <source>Play</source>
            <translation>Wiedergabe</translation>
        </message>
        <message>
            <source>Next</source>
            <translation>Weiter</translation>
        </message>
        <message>
            <source>Shuffle</source>
            <translation>Zufallswiedergabe</translation>
        </message>
        <message>
            <source>Repeat</source>
            <translation>Wiederholen</translation>
        </message>
        <message>
            <source>All tracks</source>
            <extracomment>What Repeat repeats: the whole queue.</extracomment>
            <translation>Alle Titel</translation>
        </message>
        <message>
            <source>This track</source>
            <extracomment>What Repeat repeats: the track that plays.</extracomment>
            <translation>Diesen Titel</translation>
        </message>
        <message>
            <source>Off</source>
            <extracomment>Repeat is off.</extracomment>
            <translation>Aus</translation>
        </message>
        <message>
            <source>Crossfade</source>
            <translation>Überblenden</translation>
        </message>
    </context>
    <context>
        <name>TrayIcon</name>
        <message>
            <source>Open Quillo</source>
            <translation>Quillo öffnen</translation>
        </message>
        <message>
            <source>Alarms…</source>
            <translation>Wecker…</translation>
        </message>
        <message>
            <source>Play/Pause</source>
            <translation>Wiedergabe/Pause</translation>
        </message>
        <message>
            <source>Next</source>
            <translation>Weiter</translation>
        </message>
        <message>
            <source>Previous</source>
            <translation>Zurück</translation>
        </message>
        <message>
            <source>Quit</source>
            <translation>Beenden</translation>
        </message>
        <message>
            <source>Sleep timer: %1</source>
            <extracomment>%1 is the time left, such as "29 minutes left".</extracomment>
            <translation>Sleep-Timer: %1</translation>
        </message>
    </context>
    <context>
        <name>VolumeRow</name>
        <message>
            <source>Volume</source>
            <translation>Lautstärke</translation>
        </message>
    </context>
    <context>
        <name>WelcomeView</name>
        <message>
            <source>Quillo is ready</source>
            <translation>Quillo ist bereit</translation>
        </message>
        <message>
            <source>A few things worth knowing</source>
            <translation>Ein paar Dinge, die Sie wissen sollten</translation>
        </message>
        <message>
            <source>Quillo plays what you've saved in Sonos</source>
            <translation>Quillo spielt, was Sie in Sonos gespeichert haben</translation>
        </message>
        <message>
            <source>It shows your Sonos Favorites and Sonos Playlists — it doesn't search Spotify or Apple Music. To reach an album or playlist from here, save it as a Favorite in the Sonos app first, and it appears the next time you open Quillo.</source>
            <translation>Es zeigt Ihre Sonos-Favoriten und Sonos-Playlists – Spotify oder Apple Music durchsucht es nicht. Um ein Album oder eine Playlist von hier aus zu erreichen, speichern Sie sie zuerst in der Sonos-App als Favorit; beim nächsten Öffnen von Quillo ist sie da.</translation>
        </message>
        <message>
            <source>Sonos Playlists show their tracks instantly</source>
            <translation>Sonos-Playlists zeigen ihre Titel sofort</translation>
        </message>
        <message>
            <source>Streaming services don't hand their track lists to the speakers, so for a Spotify or Apple Music playlist Quillo offers Show tracks — that loads it into the speaker's queue, replacing what was queued there. Playlists you save as Sonos Playlists skip that entirely.</source>
            <translation>Streamingdienste geben ihre Titellisten nicht an die Lautsprecher weiter. Für eine Playlist von Spotify oder Apple Music bietet Quillo daher „Titel anzeigen“ an – das lädt sie in die Warteschlange des Lautsprechers und ersetzt, was dort stand. Als Sonos-Playlists gespeicherte Playlists brauchen das nicht.</translation>
        </message>
        <message>
            <source>Greyed-out items need re-authorizing</source>
            <translation>Ausgegraute Einträge müssen neu autorisiert werden</translation>
        </message>
        <message>
            <source>A favorite pointing at a music service you've unlinked can't play. Quillo greys it rather than failing silently. Re-link that service in the Sonos app, or delete the favorite.</source>
            <translation>Ein Favorit, dessen Musikdienst Sie getrennt haben, kann nicht abgespielt werden. Quillo graut ihn aus, statt stillschweigend zu scheitern. Verbinden Sie den Dienst in der Sonos-App neu oder löschen Sie den Favoriten.</translation>
        </message>
        <message>
            <source>Can't find the icon?</source>
            <translation>Symbol nicht zu finden?</translation>
        </message>
        <message>
            <source>Some desktops keep tray icons out of sight: on GNOME, add the AppIndicator extension; on KDE Plasma and most others, look among the tray's hidden icons. Without any tray, Quillo opens as a window instead.</source>
            <translation>Manche Arbeitsumgebungen verstecken die Symbole im Infobereich: Unter GNOME fügen Sie die Erweiterung „AppIndicator“ hinzu; unter KDE Plasma und den meisten anderen sehen Sie bei den ausgeblendeten Symbolen nach. Ganz ohne Infobereich öffnet sich Quillo stattdessen als Fenster.</translation>
        </message>
        <message>
            <source>Something broken?</source>
            <translation>Etwas funktioniert nicht?</translation>
        </message>
        <message>
            <source>Report it</source>
            <translation>Melden Sie es</translation>
        </message>
        <message>
            <source>or read the</source>
            <translation>oder lesen Sie die</translation>
        </message>
        <message>
            <source>help page</source>
            <translation>Hilfeseite</translation>
        </message>
        <message>
            <source>Got It</source>
            <translation>Verstanden</translation>
        </message>
    </context>
    <context>
        <name>WelcomeWindow</name>
        <message>
            <source>Getting the most out of Quillo</source>
            <translation>Das Beste aus Quillo herausholen</translation>
        </message>
    </context>
    <context>
        <name>AlarmDraft</name>
        <message>
            <source>Room not available</source>
            <translation>Raum nicht verfügbar</translation>
        </message>
        <message>
            <source>Other music</source>
            <extracomment>What an alarm plays when it is none of the Sonos Favorites and has no title.</extracomment>
            <translation>Andere Musik</translation>
        </message>
    </context>
    <context>
        <name>AlarmEditor</name>
        <message>
            <source>New Alarm</source>
            <translation>Neuer Wecker</translation>
        </message>
        <message>
            <source>Edit Alarm</source>
            <translation>Wecker bearbeiten</translation>
        </message>
        <message>
            <source>Time</source>
            <translation>Uhrzeit</translation>
        </message>
        <message>
            <source>Hour</source>
            <translation>Stunde</translation>
        </message>
        <message>
            <source>Minute</source>
            <translation>Minute</translation>
        </message>
        <message>
            <source>Days</source>
            <translation>Tage</translation>
        </message>
        <message>
            <source>Once</source>
            <translation>Einmal</translation>
        </message>
        <message>
            <source>Weekdays</source>
            <translation>Werktags</translation>
        </message>
        <message>
            <source>Weekends</source>
            <translation>Am Wochenende</translation>
        </message>
        <message>
            <source>Every day</source>
            <translation>Täglich</translation>
        </message>
        <message>
            <source>Chosen days</source>
            <translation>Ausgewählte Tage</translation>
        </message>
        <message>
            <source>Room</source>
            <translation>Raum</translation>
        </message>
        <message>
            <source>Include grouped rooms</source>
            <translation>Gruppierte Räume einbeziehen</translation>
        </message>
        <message>
            <source>Plays</source>
            <translation>Spielt</translation>
        </message>
        <message>
            <source>What plays</source>
            <translation>Was gespielt wird</translation>
        </message>
        <message>
            <source>Volume</source>
            <translation>Lautstärke</translation>
        </message>
        <message>
            <source>Alarm volume</source>
            <translation>Weckerlautstärke</translation>
        </message>
        <message>
            <source>Plays for</source>
            <translation>Spielt für</translation>
        </message>
        <message>
            <source>%1 min</source>
            <extracomment>How long an alarm plays, in minutes.</extracomment>
            <translation>%1 Min.</translation>
        </message>
        <message>
            <source>Plays for, in minutes</source>
            <translation>Spielt für, in Minuten</translation>
        </message>
        <message>
            <source>Remove this alarm from every speaker?</source>
            <translation>Diesen Wecker von allen Lautsprechern entfernen?</translation>
        </message>
        <message>
            <source>Remove</source>
            <translation>Entfernen</translation>
        </message>
        <message>
            <source>Keep</source>
            <translation>Behalten</translation>
        </message>
        <message>
            <source>Remove Alarm…</source>
            <translation>Wecker entfernen…</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <source>Save</source>
            <translation>Speichern</translation>
        </message>
    </context>
    <context>
        <name>AlarmListModel</name>
        <message>
            <source>%1 %2 alarm</source>
            <extracomment>The name of an alarm's on/off switch for assistive technology: %1 is its time ("07:00"), %2 its room.</extracomment>
            <translation>Wecker %1 %2</translation>
        </message>
    </context>
    <context>
        <name>AlarmRow</name>
        <message>
            <source>Opens the alarm's editor</source>
            <translation>Öffnet den Wecker zum Bearbeiten</translation>
        </message>
        <message>
            <source>This alarm can't be changed here</source>
            <translation>Dieser Wecker kann hier nicht geändert werden</translation>
        </message>
    </context>
    <context>
        <name>Alarms</name>
        <message>
            <source>This alarm was removed in another app.</source>
            <extracomment>Saving an alarm in the editor that was removed meanwhile; the editor keeps the user's values.</extracomment>
            <translation>Dieser Wecker wurde in einer anderen App entfernt.</translation>
        </message>
        <message>
            <source>This alarm was changed in another app and can't be changed here.</source>
            <extracomment>Saving an alarm in the editor that another app changed into a form this app can't write back.</extracomment>
            <translation>Dieser Wecker wurde in einer anderen App geändert und kann hier nicht geändert werden.</translation>
        </message>
        <message>
            <source>This alarm was already removed in another app.</source>
            <extracomment>Removing an alarm that another app removed already.</extracomment>
            <translation>Dieser Wecker wurde bereits in einer anderen App entfernt.</translation>
        </message>
        <message>
            <source>Room not available</source>
            <extracomment>In place of an alarm's room that is switched off, bonded to another or gone.</extracomment>
            <translation>Raum nicht verfügbar</translation>
        </message>
        <message>
            <source>Other music</source>
            <extracomment>What an alarm plays when it is none of the Sonos Favorites and has no title.</extracomment>
            <translation>Andere Musik</translation>
        </message>
        <message>
            <source>--:--</source>
            <extracomment>An alarm whose time could not be read.</extracomment>
            <translation>--:--</translation>
        </message>
        <message>
            <source>Alarm %1 · %2</source>
            <extracomment>The next alarm to ring, today or tomorrow: %1 its time ("07:00"), %2 its room.</extracomment>
            <translation>Wecker %1 · %2</translation>
        </message>
        <message>
            <source>Alarm %1 %2 · %3</source>
            <extracomment>The next alarm to ring, later this week: %1 the day ("Sat"), %2 its time, %3 its room.</extracomment>
            <translation>Wecker %1 %2 · %3</translation>
        </message>
    </context>
    <context>
        <name>AlarmsLine</name>
        <message>
            <source>Alarms…</source>
            <translation>Wecker…</translation>
        </message>
        <message>
            <source>List, add and change your speakers' alarms</source>
            <translation>Die Wecker Ihrer Lautsprecher anzeigen, hinzufügen und ändern</translation>
        </message>
    </context>
    <context>
        <name>AlarmsView</name>
        <message>
            <source>Alarms</source>
            <translation>Wecker</translation>
        </message>
        <message>
            <source>Reading the alarms…</source>
            <translation>Wecker werden gelesen…</translation>
        </message>
        <message>
            <source>The alarms couldn't be read from your speakers.</source>
            <translation>Die Wecker konnten nicht von Ihren Lautsprechern gelesen werden.</translation>
        </message>
        <message>
            <source>No alarms yet.</source>
            <translation>Noch keine Wecker.</translation>
        </message>
        <message>
            <source>Try Again</source>
            <translation>Erneut versuchen</translation>
        </message>
        <message>
            <source>Add Alarm…</source>
            <translation>Wecker hinzufügen…</translation>
        </message>
        <message>
            <source>Close</source>
            <translation>Schließen</translation>
        </message>
        <message>
            <source>Your speakers ring by their own clock; the next alarm is worked out on this computer.</source>
            <translation>Ihre Lautsprecher wecken nach ihrer eigenen Uhr; der nächste Wecker wird auf diesem Computer berechnet.</translation>
        </message>
    </context>
    <context>
        <name>AlarmsWindow</name>
        <message>
            <source>Alarms</source>
            <translation>Wecker</translation>
        </message>
    </context>
</TS>