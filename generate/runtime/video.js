// The media player control of the browser the pages were first written for.
// Elsewhere the object element is inert and these calls do nothing.
function media_call(player,name)
{
	try
	{
		if (player != null && player.controls != null)
		{
			player.controls[name]();
			return true;
		}
	}
	catch (e)
	{
	}
	return false;
}

function media_play(player)
{
	return media_call(player,'play');
}

function media_pause(player)
{
	return media_call(player,'pause');
}

function media_stop(player)
{
	return media_call(player,'stop');
}

// A play count above 0 plays that many times; 0 or less loops for ever.
function media_repeat(player,playcount)
{
	try
	{
		if (player == null || player.settings == null)
			return;
		if (playcount != null && playcount > 0)
		{
			player.settings.playCount = playcount;
			player.settings.setMode('loop', false);
		}
		else
		{
			player.settings.playCount = 1;
			player.settings.setMode('loop', true);
		}
	}
	catch (e)
	{
	}
}

// The length of the loaded media in seconds, 0 while it loads, or -1 when
// the player cannot tell.
function media_duration(player)
{
	try
	{
		if (player != null && player.currentMedia != null)
			return player.currentMedia.duration;
	}
	catch (e)
	{
	}
	return -1;
}

function media_position(player)
{
	try
	{
		if (player != null && player.controls != null)
			return player.controls.currentPosition;
	}
	catch (e)
	{
	}
	return 0;
}

function play_video(frame,video,uimode,ratio,playcount)
{
	var	div = document.getElementById(frame + '-video-div');
	if (div == null)
	{
		alert('Cannot find the media player');
		return;
	}
	var	player = document.getElementById(frame + '-video');
	if (player == null)
	{
		div.innerHTML = "<object id='" + frame + "-video' classid='clsid:6BF52A52-394A-11d3-B153-00C04F79FAA6' style='visibility:hidden;width:100%;height:100%'></object>";
		player = document.getElementById(frame + '-video');
		_players[_players.length] = player;
	}
	if (player.playState == 2)
	{
		media_play(player);
		return;
	}
	var	element = document.getElementById(frame);
	var	filtered = apply_filter(element,2);
	clear_frame(frame);
	var	place = ratio_place(frame_area(frame,/*@videoBorderWidth@*/0),ratio);
	div.style.left = place._left;
	div.style.top = place._top;
	div.style.width = Math.max(place.getWidth(), 0);
	div.style.height = Math.max(place.getHeight(), 0);
	player.uimode = uimode;
	media_repeat(player,playcount);
	div.style.visibility = 'visible';
	player.style.visibility = 'visible';
	player._frame = frame;
	if (filtered)
	{
		element._player = player;
		element._url = video;
		element.onfilterchange = filter_handler;
		play_filter(element,2);
	}
	else
	{
		player.url = video;
		media_play(player);
	}
	if (_playerInterval == null)
		_playerInterval = setInterval('check_players()', 2000);
}

function pause_video(frame)
{
	var	div = document.getElementById(frame + '-video-div');
	var	player = document.getElementById(frame + '-video');
	if (div != null && player != null)
		media_pause(player);
}
