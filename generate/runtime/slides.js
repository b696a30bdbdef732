function Slide(type,url,caption,hyperlink,target,audio,ratio,aspect)
{
	this._type = type;
	this._url = url;
	this._caption = caption;
	this._hyperlink = hyperlink;
	this._target = target;
	this._audio = audio;
	this._ratio = ratio;
	this._aspect = aspect;
}

var	_slides = new Array();
var	_slideshowAudios = new Array();
//@slides

var	_slideshows = new Array();

function show_slides(frame,name,delay,repeat,manual)
{
	if (!page_loaded)
	{
		alert('The page is loading, please wait');
		return;
	}
	new Slideshow(frame,_slides[name],delay,repeat,manual,_slideshowAudios[name]);
}

// A slideshow by the number it was given, or the one attached to the
// element of that id.
function find_slideshow(id)
{
	var	slideshow = null;
	if (typeof id == 'number')
		slideshow = _slideshows[id];
	if (slideshow == null)
	{
		var	element = document.getElementById(id);
		if (element != null)
			slideshow = element._slideshow;
	}
	return slideshow == null ? null : slideshow;
}

function next_slide(id)
{
	var	slideshow = find_slideshow(id);
	if (slideshow != null && slideshow._container != null)
		slideshow.next();
}

function prev_slide(id)
{
	var	slideshow = find_slideshow(id);
	if (slideshow != null && slideshow._container != null)
		slideshow.prev();
}

function getSlideshowId()
{
	var	id = -1;
	for (var i = 0; i < _slideshows.length; i++)
	{
		if (_slideshows[i] != null && _slideshows[i]._destroyed)
			_slideshows[i] = null;
		if (_slideshows[i] == null)
			id = i;
	}
	return id == -1 ? _slideshows.length : id;
}

function Slideshow(frame,slides,delay,repeat,manual,audio)
{
	this.next = Slideshow_next;
	this.prev = Slideshow_prev;
	this.stop = Slideshow_stop;
	this.destroy = Slideshow_destroy;
	this.show = Slideshow_show;
	this.step = Slideshow_step;
	this._number = getSlideshowId();
	_slideshows[this._number] = this;
	this._timer = null;
	this._stopped = false;
	this._destroyed = false;
	this._container = null;
	var	element = document.getElementById(frame);
	if (element == null)
	{
		alert('Cannot find the target for the slideshow');
		this._destroyed = true;
		return;
	}
	if (element._slideshow != null)
		element._slideshow.destroy();
	this._frame = frame;
	this._slides = slides != null ? slides : new Array();
	this._delay = delay;
	this._repeat = repeat == true || repeat == 'true';
	this._manual = manual == true || manual == 'true';
	this._audio = audio != null && audio != '' ? audio : null;
	this._index = -1;
	// Attached from the start, so that next_slide finds the slideshow while
	// it waits for its sound to load.
	this._container = element;
	element._slideshow = this;
	if (this._audio != null)
		play_audio(null,this._audio,null,null,1);
	this.next();
}

// Moves the index by one slide in the direction given, skipping the gaps
// that actions other than pictures and pages leave; false past either end
// of a slideshow that does not repeat.
function Slideshow_step(direction)
{
	var	count = this._slides.length;
	for (var tried = 0; tried < count; tried++)
	{
		this._index += direction;
		if (this._index >= count || this._index < 0)
		{
			if (!this._repeat)
				return false;
			this._index = this._index < 0 ? count - 1 : 0;
		}
		if (this._slides[this._index] != null)
			return true;
	}
	return false;
}

// Shows the current slide. The slideshow lets go of its frame meanwhile,
// because showing something in a frame ends the slideshow attached to it.
function Slideshow_show()
{
	var	slide = this._slides[this._index];
	var	element = document.getElementById(this._frame);
	if (element != null && element._slideshow == this)
		element._slideshow = null;
	if (slide._type == 'picture')
		show_picture(this._frame,slide._url,slide._caption,slide._hyperlink,slide._target,slide._audio,slide._ratio,slide._aspect);
	else if (slide._type == 'page')
		show_page(this._frame,slide._url,slide._audio,slide._ratio);
	if (element != null)
	{
		if (element._slideshow != null && element._slideshow != this)
			element._slideshow.destroy();
		element._slideshow = this;
		this._container = element;
	}
}

function Slideshow_next()
{
	if (this._timer != null)
	{
		clearTimeout(this._timer);
		this._timer = null;
	}
	if (this._stopped)
	{
		this.destroy();
		return;
	}
	if (this._destroyed)
		return;
	var	duration = -1;
	if (this._audio != null)
	{
		duration = media_duration(audioPlayer);
		if (duration == 0)
		{
			this._timer = setTimeout('next_slide(' + this._number + ')', 2000);
			// The first slide need not wait the whole two seconds when the
			// browser tells as soon as the sound's length is known.
			var	slideshow = this;
			var	timer = this._timer;
			media_when_known(audioPlayer, function () {
				if (slideshow._timer == timer)
					slideshow.next();
			});
			return;
		}
	}
	if (!this.step(1))
	{
		var	frame = this._frame;
		this.destroy();
		clear_frame(frame);
		return;
	}
	this.show();
	if (this._manual)
		return;
	var	interval = this._delay * 1000;
	if (duration > 0)
	{
		var	remaining = duration - media_position(audioPlayer);
		var	share = remaining * 1000 / (this._slides.length - this._index);
		if (share > interval)
			interval = share;
		if (audioPlayer != null && audioPlayer.playState == 1)
			media_play(audioPlayer);
	}
	this._timer = setTimeout('next_slide(' + this._number + ')', interval);
}

function Slideshow_prev()
{
	if (this._timer != null)
	{
		clearTimeout(this._timer);
		this._timer = null;
	}
	if (this._destroyed)
		return;
	if (!this.step(-1))
	{
		var	frame = this._frame;
		this.destroy();
		clear_frame(frame);
		return;
	}
	this.show();
}

function Slideshow_stop()
{
	this._stopped = true;
}

function Slideshow_destroy()
{
	if (this._timer != null)
	{
		clearTimeout(this._timer);
		this._timer = null;
	}
	if (this._audio != null)
		clear_audio();
	this._destroyed = true;
	if (this._container != null && this._container._slideshow == this)
		this._container._slideshow = null;
	this._container = null;
}
