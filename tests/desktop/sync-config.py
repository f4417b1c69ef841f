#!/usr/bin/env python3
"""Makes a generated Syncthing config.xml a loopback-only machine of the two-machine test.

sync-config.py CONFIG GUI_PORT LISTEN_PORT APIKEY FOLDER OWN_ID PEER_ID PEER_PORT
Nothing is announced or discovered and no relay or NAT is tried: the peer is reached at its
static loopback address. The folder is kept by both devices; conflicting versions are kept as
copies (a hand-written folder would get none and lose one side), and a change is sent a second
after it is seen.
"""
import sys
import xml.etree.ElementTree as ET

config, gui_port, listen_port, apikey, folder, own_id, peer_id, peer_port = sys.argv[1:9]
tree = ET.parse(config)
root = tree.getroot()


def set_text(parent, tag, text):
    node = parent.find(tag)
    if node is None:
        node = ET.SubElement(parent, tag)
    node.text = text


options = root.find("options")
set_text(options, "listenAddress", f"tcp://127.0.0.1:{listen_port}")
for tag, value in [("globalAnnounceEnabled", "false"), ("localAnnounceEnabled", "false"), ("relaysEnabled", "false"),
                   ("natEnabled", "false"), ("urAccepted", "-1"), ("startBrowser", "false"),
                   ("autoUpgradeIntervalH", "0"), ("crashReportingEnabled", "false"), ("stunKeepaliveStartS", "0")]:
    set_text(options, tag, value)
gui = root.find("gui")
set_text(gui, "address", f"127.0.0.1:{gui_port}")
set_text(gui, "apikey", apikey)

peer = ET.SubElement(root, "device", id=peer_id, name="peer", compression="metadata", introducer="false")
set_text(peer, "address", f"tcp://127.0.0.1:{peer_port}")
set_text(peer, "autoAcceptFolders", "false")

diary = ET.Element("folder", id="diary", label="diary", path=folder, type="sendreceive", rescanIntervalS="3600",
                   fsWatcherEnabled="true", fsWatcherDelayS="1", ignorePerms="false", autoNormalize="true")
for device in (own_id, peer_id):
    ET.SubElement(diary, "device", id=device, introducedBy="")
set_text(diary, "maxConflicts", "10")
set_text(diary, "filesystemType", "basic")
# The folder goes before the devices, where Syncthing writes its own.
root.insert(list(root).index(root.find("device")), diary)
tree.write(config)
