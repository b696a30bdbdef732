// Two kinds of player. The browser the pages were first written for has the
// media player control, an object element driven through its url, uimode,
// controls and settings; every current browser has the video and audio
// elements instead, which the functions below drive so that the rest of the
// runtime can treat both alike (url, uimode and playState read the same).
function media_native()
{
	if ('ActiveXObject' in window)
		return false;
	return typeof document.createElement('video').canPlayType != 'undefined';
}

// The play states of the control that the runtime reads: 1 stopped,
// 2 paused, 3 playing, 9 about to play.
function media_state(player)
{
	if (player._stopped)
		return 1;
	if (player.paused)
		return player._started ? 2 : 9;
	return 3;
}

function media_set_url(player,url)
{
	player._url = url == null ? '' : String(url);
	player._started = false;
	player._plays = 0;
	if (player._url == '')
	{
		player.removeAttribute('src');
		player.load();
	}
	else
	{
		player.src = player._url;
	}
}

// "full" and "mini" show the element's own controls, the smaller set for
// "mini"; "none" shows none, as does the control's own "invisible".
function media_set_uimode(player,uimode)
{
	player._uimode = uimode;
	player.controls = uimode != 'none' && uimode != 'invisible';
	if (typeof player.controlsList != 'undefined')
		player.setAttribute('controlslist', uimode == 'mini' ? 'nodownload nofullscreen noremoteplayback noplaybackrate' : '');
}

// Each end of the media counts one play; another round starts until the
// play count is reached, or for ever when it is 0.
function media_ended()
{
	var	player = this;
	player._plays++;
	if (player._playcount <= 0 || player._plays < player._playcount)
	{
		player.currentTime = 0;
		media_start(player);
		return;
	}
	player._stopped = true;
}

function media_element(container,tag,id,style)
{
	container.innerHTML = '<' + tag + " id='" + id + "' preload='auto' style='" + style + "'></" + tag + '>';
	var	player = document.getElementById(id);
	player._native = true;
	player._url = '';
	player._uimode = null;
	player._stopped = true;
	player._held = false;
	player._started = false;
	player._plays = 0;
	player._playcount = 1;
	player.playsInline = true;
	Object.defineProperty(player, 'url', {
		get: function () { return this._url; },
		set: function (url) { media_set_url(this,url); }
	});
	Object.defineProperty(player, 'uimode', {
		get: function () { return this._uimode; },
		set: function (uimode) { media_set_uimode(this,uimode); }
	});
	Object.defineProperty(player, 'playState', {
		get: function () { return media_state(this); }
	});
	player.addEventListener('ended', media_ended);
	player.addEventListener('play', function () { this._started = true; });
	return player;
}

// Players that the browser would not start before the visitor has done
// something on the page: they start at the first click, touch or key.
var	_mediaWaiting = new Array();
var	_mediaListening = false;

function media_gesture()
{
	var	waiting = _mediaWaiting;
	_mediaWaiting = new Array();
	for (var i = 0; i < waiting.length; i++)
	{
		var	player = waiting[i];
		if (player._unmute)
		{
			player.muted = false;
			player._unmute = false;
		}
		// Unless the page paused or stopped it meanwhile.
		if (!player._stopped && !player._held && player.paused)
			media_start(player);
	}
}

function media_wait(player)
{
	for (var i = 0; i < _mediaWaiting.length; i++)
	{
		if (_mediaWaiting[i] == player)
			return;
	}
	_mediaWaiting[_mediaWaiting.length] = player;
	if (_mediaListening)
		return;
	_mediaListening = true;
	var	events = ['pointerdown', 'keydown', 'touchend'];
	for (var e = 0; e < events.length; e++)
		document.addEventListener(events[e], media_gesture, true);
}

// play() answers with a promise that fails when the browser's autoplay
// rules forbid the start, and when a newer load or a pause overtakes it;
// a failure here is never a script error. A refused video starts muted
// at once and gets its sound at the visitor's first gesture; refused
// sound waits for that gesture.
function media_start(player)
{
	player._stopped = false;
	player._held = false;
	var	started = null;
	try
	{
		started = player.play();
	}
	catch (e)
	{
	}
	if (started == null || typeof started.then != 'function')
		return;
	started.then(null, function (error) {
		if (error == null || error.name != 'NotAllowedError' || player._stopped)
			return;
		media_wait(player);
		if (player.tagName == 'VIDEO' && !player.muted)
		{
			player.muted = true;
			player._unmute = true;
			media_start(player);
		}
	});
}

function media_call(player,name)
{
	if (player != null && player._native)
	{
		if (name == 'play')
		{
			media_start(player);
		}
		else
		{
			if (name == 'stop')
				player._stopped = true;
			player._held = true;
			player.pause();
			if (name == 'stop' && player._url != '' && player.readyState > 0)
				player.currentTime = 0;
		}
		return true;
	}
	// The media player control; elsewhere the object element is inert and
	// these calls do nothing.
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
	if (player != null && player._native)
	{
		var	count = parseInt(playcount);
		player._playcount = count > 0 ? count : 0;
		player.loop = false;
		return;
	}
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
	if (player != null && player._native)
	{
		// Nothing to wait for when there is no sound, or none that loads.
		if (player._url == '' || player.error != null)
			return -1;
		var	duration = player.duration;
		if (isNaN(duration))
			return 0;
		return isFinite(duration) ? duration : -1;
	}
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

// Calls back once the media's length is known, or it failed to load: a
// current browser says so by events. The control of the old browser has
// no such events; there the caller's timer alone retries.
function media_when_known(player,callback)
{
	if (player == null || !player._native)
		return;
	var	once = function () {
		player.removeEventListener('loadedmetadata', once);
		player.removeEventListener('error', once);
		callback();
	};
	player.addEventListener('loadedmetadata', once);
	player.addEventListener('error', once);
}

function media_position(player)
{
	if (player != null && player._native)
		return player.currentTime;
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
		if (media_native())
		{
			player = media_element(div,'video',frame + '-video','visibility:hidden;width:100%;height:100%');
		}
		else
		{
			div.innerHTML = "<object id='" + frame + "-video' classid='clsid:6BF52A52-394A-11d3-B153-00C04F79FAA6' style='visibility:hidden;width:100%;height:100%'></object>";
			player = document.getElementById(frame + '-video');
		}
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
