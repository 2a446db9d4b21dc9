// The handlers that change the window's layout or open the community site.
#pragma once

// Clicked event of 选择框1: shows or hides the voice-chat section, moving
// the buttons and resizing the window to make room.
void VoiceChatSectionSwitch();

// Clicked event of 按钮2: widens the window to show the side panel, or
// narrows it again; the caption of 按钮2 records which.
void SidePanelSwitch();

// Left-button-pressed event of 标签1: opens the community site. The pointer
// position and key state (1 Ctrl, 2 Shift, 4 Alt) are ignored.
void SiteLink(int x, int y, int keyState);

// The seven steps of one vertical layout, in their fixed order: the voice-chat
// layout, or the collapsed layout the window starts with.
void SetVoiceChatLayout();
void SetCollapsedLayout();
