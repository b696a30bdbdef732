var	PerSecond = 10;
var	_animates = new Array();
var	_frames = new Array();
var	_animateInterval = null;

function Animate(name)
{
	this.destroy = Animate_destroy;
	this.stop = Animate_stop;
	this.run = Animate_run;
	this.delta = Animate_delta;
	this.move = Animate_move;
	this.setHeading = Animate_setHeading;
	this.calculateHeading = Animate_calculateHeading;
	this.setSpeed = Animate_setSpeed;
	this.calculateSpeed = Animate_calculateSpeed;
	this._image = document.createElement('img');
	this._image.style.position = 'absolute';
	document.body.appendChild(this._image);
	this._frames = _frames[name] != null ? _frames[name] : new Array();
	this._index = -1;
	this._width = 100;
	this._x = 0;
	this._y = 0;
	this._step = 0;
	this._stopped = false;
	this._destroyed = false;
	this._speed = 0;
	this.setHeading(110);
	this.setSpeed(100);
	this.move(0,0);
	var	slot = _animates.length;
	for (var i = 0; i < _animates.length; i++)
	{
		if (_animates[i] == null)
		{
			slot = i;
			break;
		}
	}
	_animates[slot] = this;
	if (_animateInterval == null)
		_animateInterval = setInterval('animates()', 50);
}

function Animate_destroy()
{
	this._destroyed = true;
}

function Animate_stop()
{
	this._stopped = true;
}

// The pixels one axis moves on this step: a delta below PerSecond moves one
// pixel on every (PerSecond / delta)-th step, a larger one delta / PerSecond
// pixels on each.
function animate_step(delta,step)
{
	var	size = Math.abs(delta);
	if (size == 0)
		return 0;
	if (size < PerSecond)
		return step % parseInt(PerSecond / size) == 0 ? (delta > 0 ? 1 : -1) : 0;
	return parseInt(delta / PerSecond);
}

function Animate_run()
{
	if (this._stopped)
		return;
	if (this._speed > 0)
	{
		this.delta(animate_step(this._deltaX, this._step), animate_step(this._deltaY, this._step));
		this._step = (this._step + 1) % PerSecond;
	}
	if (this._frames.length > 0)
	{
		this._index = (this._index + 1) % this._frames.length;
		this._image.src = this._frames[this._index];
		this._image.style.width = this._width;
	}
}

function Animate_delta(deltaX,deltaY)
{
	this.move(this._x + deltaX, this._y + deltaY);
}

function Animate_move(x,y)
{
	this._x = x;
	this._y = y;
	this._image.style.left = x;
	this._image.style.top = y;
}

function Animate_setHeading(heading)
{
	this._heading = heading % 360;
	this.calculateHeading();
	this.calculateSpeed();
}

function Animate_calculateHeading()
{
	var	angle = 3.14 * (90 - this._heading) / 180;
	this._sin = Math.sin(angle);
	this._cos = Math.cos(angle);
}

function Animate_setSpeed(speed)
{
	this._speed = speed;
	this.calculateSpeed();
}

function Animate_calculateSpeed()
{
	var	s = Math.abs(this._sin);
	var	c = Math.abs(this._cos);
	var	dx = 0;
	var	dy = 0;
	if (c >= s)
	{
		dx = this._speed;
		dy = c > 0 ? parseInt(this._speed * s / c) : 0;
	}
	else
	{
		dy = this._speed;
		dx = parseInt(this._speed * c / s);
	}
	this._deltaX = this._cos < 0 ? -dx : dx;
	this._deltaY = -this._sin < 0 ? -dy : dy;
}

function animates()
{
	var	running = 0;
	for (var i = 0; i < _animates.length; i++)
	{
		var	animate = _animates[i];
		if (animate == null)
			continue;
		if (animate._destroyed)
		{
			if (animate._image.parentNode != null)
				animate._image.parentNode.removeChild(animate._image);
			_animates[i] = null;
			continue;
		}
		running++;
		animate.run();
		if (animate._x > 300 || animate._y > 300)
			animate.destroy();
	}
	if (running == 0 && _animateInterval != null)
	{
		clearInterval(_animateInterval);
		_animateInterval = null;
	}
}
